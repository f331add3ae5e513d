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

// What the trace of the expansion shows of its sort: the levels added to level
// lists, and whether the last one added was ever walked. The sort walks every
// level it appends, unless it stopped there: when its passes never settle it
// appends a last level and ends (once they repeat, or at its bound).
class sort_trace {
public:
    void read(std::wstring_view record);
    std::size_t levels_added() const noexcept { return levels_added_; }
    bool stopped() const noexcept { return last_level_unwalked_; }

private:
    std::size_t levels_added_ = 0;
    bool last_level_unwalked_ = false;
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
