#pragma once
// What ProcessFolderRule did, read from the host's side: the call log names the
// folders whose contents the component enumerated, in order, and the trace
// shows the levels its sort appended. From that order follows which folder rule
// gave an object its object rule.

#include "outcome.h"
#include "plan.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace planner {

// The trace records the host counts for the planner during the expansion: a
// level added to a level list (the folders' one level, then each level the sort
// appends), and a level the sort's walk reached.
inline constexpr std::wstring_view level_added_record = L"32|[%1][%2] Function Enter|CLevelList|IKSQLevelList_Add";
inline constexpr std::wstring_view level_walked_record =
    L"32|[%1][%2] Function Enter|CLevelListIterator|IKSQLevelIterator_Next";

// What the trace of the expansion shows of its sort. The sort walks the levels
// in order, each one it appends included, unless it stopped: when its passes
// never settle it appends a last level and ends (once they repeat, or at its
// bound) without walking it. So it stopped when it walked fewer levels than
// were added.
class sort_trace {
public:
    sort_trace(std::size_t levels_added, std::size_t levels_walked) noexcept
        : levels_added_(levels_added), levels_walked_(levels_walked)
    {}
    std::size_t levels_added() const noexcept { return levels_added_; }
    bool stopped() const noexcept { return levels_walked_ < levels_added_; }

private:
    std::size_t levels_added_ = 0;
    std::size_t levels_walked_ = 0;
};

// Fills expansion.processed, found_nothing, sort_levels and sort_bound_reached
// (for an expansion that ran).
void read_expansion(const plan& plan, const std::vector<bool>& folder_rule_accepted,
                    const std::vector<std::wstring>& calls, const sort_trace& sort, folder_expansion& expansion);

// The folder whose rule gave an object its object rule: of the processed folders
// that are the object itself or hold it directly, the one processed first, since
// the expansion never replaces an object rule.
class folder_attribution {
public:
    folder_attribution(const plan& plan, const folder_expansion& expansion);
    std::optional<std::uint32_t> folder_of(std::uint32_t object) const;

private:
    static constexpr std::uint32_t none = 0xFFFFFFFF;
    const plan& plan_;
    std::unordered_map<std::uint32_t, std::uint32_t> rank_of_folder_;
    std::vector<std::uint32_t> rank_of_contents_; // per plan::folder_paths index
    const std::vector<std::uint32_t>& processed_;
};

} // namespace planner
