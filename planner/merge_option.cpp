#include "merge_option.h"

#include <array>

namespace planner {

namespace {

constexpr std::array<option_info, 8> options{{
    {merge_option::CopyACLOption, "CopyACLOption", option_owner::MergeOptions},
    {merge_option::ResolutionMethod, "ResolutionMethod", option_owner::MergeOptions2},
    {merge_option::UserMergeOptions, "UserMergeOptions", option_owner::MergeOptions2},
    {merge_option::CopyFolder, "CopyFolder", option_owner::TransvaneOptions},
    {merge_option::MapSchemaObjectsSetting, "MapSchemaObjectsSetting", option_owner::MergeOptions3},
    {merge_option::UpdateSchemaOption, "UpdateSchemaOption", option_owner::MergeOptions4},
    {merge_option::LockTakeOverOption, "LockTakeOverOption", option_owner::MergeOptions4},
    {merge_option::TVOnOffMergeOptions, "TVOnOffMergeOptions", option_owner::MergeOptions5},
}};

} // namespace

std::span<const option_info> all_options() noexcept { return options; }

const option_info& info_of(merge_option option) noexcept { return options[static_cast<std::size_t>(option)]; }

std::optional<merge_option> option_named(std::string_view name) noexcept
{
    for (const option_info& info : options)
        if (info.name == name) return info.option;
    return std::nullopt;
}

} // namespace planner
