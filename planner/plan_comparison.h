#pragma once
// What a change to a plan would change: two plans, each run through its own
// component objects, compared object by object (by id) and rule by rule.

#include "outcome.h"
#include "plan.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace planner {

// One object's answer in one plan: no action when it was not resolved or its
// FindAction failed (the reason says which).
struct compared_answer {
    std::optional<std::int32_t> action;
    std::string action_label; // "2 replace", or "none"
    std::string reason;
    friend bool operator==(const compared_answer& a, const compared_answer& b)
    {
        return a.action == b.action && a.reason == b.reason;
    }
};

struct changed_object {
    std::string id;
    std::string name; // in the later plan
    compared_answer before;
    compared_answer after;
};

struct action_move {
    std::optional<std::int32_t> before;
    std::optional<std::int32_t> after;
    std::size_t objects = 0;
};

// A rule as the plan writes it: the category or type code (for an object rule,
// its type), the object id or folder path, and the action.
struct compared_rule {
    std::string_view kind; // category, type, object, folder
    std::int32_t code = 0;
    std::string text;
    std::int32_t action = 0;
};

struct comparison {
    std::vector<changed_object> changed; // in the later plan's order
    std::vector<action_move> moves;      // from one action to another, ordered by the two actions
    std::vector<std::string> only_before;
    std::vector<std::string> only_after;
    std::vector<compared_rule> rules_added;
    std::vector<compared_rule> rules_removed;
    bool anything_changed() const noexcept
    {
        return !changed.empty() || !only_before.empty() || !only_after.empty() || !rules_added.empty() ||
               !rules_removed.empty();
    }
};

comparison compare_plans(const plan& before, const outcome& before_outcome, const plan& after,
                         const outcome& after_outcome);

// "type rule (type 230): action 4", "folder rule (\Finance): action 2".
std::string compared_rule_text(const compared_rule& rule);

void write_comparison_text(std::FILE* out, const plan& before, const plan& after, const comparison& comparison);
void write_comparison_json(std::FILE* out, const plan& before, const plan& after, const comparison& comparison);

} // namespace planner
