#pragma once
// The merge options a plan may set, by name (the component's side knows which
// interface version owns each).

#include <optional>
#include <span>
#include <string_view>

namespace planner {

enum class merge_option {
    CopyACLOption,
    ResolutionMethod,
    UserMergeOptions,
    CopyFolder,
    MapSchemaObjectsSetting,
    UpdateSchemaOption,
    LockTakeOverOption,
    TVOnOffMergeOptions,
};

struct option_info {
    merge_option option;
    std::string_view name;
};

// Every option, in the order the report lists them.
std::span<const option_info> all_options() noexcept;
const option_info& info_of(merge_option option) noexcept;
std::optional<merge_option> option_named(std::string_view name) noexcept;

} // namespace planner
