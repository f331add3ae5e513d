#include "merge_option.h"

#include <array>

namespace planner {

namespace {

constexpr std::array<option_info, 8> options{{
    {merge_option::CopyACLOption, "CopyACLOption"},
    {merge_option::ResolutionMethod, "ResolutionMethod"},
    {merge_option::UserMergeOptions, "UserMergeOptions"},
    {merge_option::CopyFolder, "CopyFolder"},
    {merge_option::MapSchemaObjectsSetting, "MapSchemaObjectsSetting"},
    {merge_option::UpdateSchemaOption, "UpdateSchemaOption"},
    {merge_option::LockTakeOverOption, "LockTakeOverOption"},
    {merge_option::TVOnOffMergeOptions, "TVOnOffMergeOptions"},
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
