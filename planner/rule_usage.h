#pragma once
// What each rule of a plan did: how many objects it decided, counted from the
// reasons of the component's answers, and for a rule that decided nothing, why,
// as far as the plan tells. Nothing here decides an action a second time: which
// rule comes first is whatever the answers show.

#include "outcome.h"
#include "plan.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace planner {

// A rule of the plan: its kind ("category", "type", "object", "folder", as the
// refusals name them) and its index in that list.
struct rule_ref {
    std::string_view kind;
    std::size_t index = 0;
    friend bool operator==(const rule_ref&, const rule_ref&) = default;
};

enum class rule_status { decided, unused, refused };

struct rule_usage {
    rule_ref rule;
    std::size_t decided = 0; // objects whose action it gave
    rule_status status = rule_status::unused;
    std::string why; // empty for a rule that decided something
    // For a folder rule that found no folder: the plan's folder paths that differ
    // from its path only in letter case or in separators.
    std::vector<std::string> did_you_mean;
};

// Which rule of the plan gave one answer: the rule that set the object rule the
// store read, the type rule of the code it read, the category rule; none for a
// category's default or a failed lookup.
class rule_attribution {
public:
    rule_attribution(const plan& plan, const outcome& outcome);
    std::optional<rule_ref> decider(const lookup_result& lookup) const;

private:
    const plan& plan_;
    std::unordered_map<std::string_view, std::size_t>
        object_rules_;                                         // by id (views of the plan's rules), accepted rules only
    std::unordered_map<std::int32_t, std::size_t> type_rules_; // by type code
    std::unordered_map<std::int32_t, std::size_t> category_rules_; // by category code
    std::unordered_map<std::uint32_t, std::size_t> folder_rules_;  // by processed folder object
};

// One record per rule, in the order the component was given them: category,
// type, object, folder, each list in order. Each object counts once, for its
// first answer.
std::vector<rule_usage> rule_usages(const plan& plan, const outcome& outcome);

// "decided", "unused", "refused".
std::string_view status_name(rule_status status) noexcept;
// "category rule 0 (category 2)", "type rule 1 (type 7001)", "object rule 0 (RPT-104)",
// "folder rule 3 (\Projects\Old)".
std::string rule_label(const plan& plan, const rule_ref& rule);
// "category_rule" ... "failed": how the JSON and CSV name a reason's kind.
std::string_view reason_kind_name(reason_kind kind) noexcept;
// The key under which two folder paths are the same but for letter case and
// separators: lower case, empty pieces between backslashes dropped.
std::string loose_path(std::string_view path);

} // namespace planner
