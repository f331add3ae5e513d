#pragma once
// What the component did with a plan: the entries it refused, the object rules
// it holds after folder processing, the action of each object with its reason,
// and the options and log settings as it gives them back.

#include "plan.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace planner {

// An entry of the plan that the component refused.
struct refusal {
    std::string_view kind; // category, type, object, folder, option, log
    std::size_t index = 0; // in its list
    long long code = 0;
    std::string source;
    std::string message;
};

struct held_object_rule {
    std::string id;
    std::int32_t type = 0;
    std::int32_t action = 0;
};

enum class reason_kind : std::uint8_t {
    object_rule,  // set by the plan
    folder_rule,  // added by a folder rule's expansion
    subtype_rule, // type rule for the object's subtype code
    type_rule,    // type rule for the object's type code
    category_rule,
    category_default,
    failed, // FindAction failed: see outcome::lookup_failures
};

struct lookup_result {
    std::uint32_t object = 0;
    std::int32_t action = 0;
    reason_kind reason = reason_kind::failed;
    // The subtype, type or category code of the reason; for a folder rule, the
    // index of the folder object whose rule it was.
    std::int32_t code = 0;
};

struct lookup_failure {
    std::size_t lookup = 0; // index into outcome::lookups
    std::string message;
};

// How ProcessFolderRule went, as the host saw it.
struct folder_expansion {
    bool ran = false;
    std::optional<std::string> failure;
    std::vector<std::uint32_t> processed;   // folder objects, in the order they were processed
    std::vector<std::size_t> found_nothing; // indexes into plan::folder_rules of accepted rules
    std::size_t sort_levels = 0;            // levels the sort appended to the one it was given
    bool sort_bound_reached = false;        // the sort stopped: the folders' relations never settle
};

struct outcome {
    std::vector<refusal> refusals;
    std::vector<bool> object_rule_accepted; // per plan object rule
    std::vector<bool> folder_rule_accepted; // per plan folder rule
    folder_expansion expansion;
    std::vector<held_object_rule> object_rules;
    std::vector<lookup_result> lookups; // in resolve order
    std::vector<lookup_failure> lookup_failures;
    std::vector<std::pair<merge_option, std::int32_t>> options; // every option, read back
    std::vector<log_setting> logs;                              // as the iterator walks them
    std::vector<std::string> component_failures;                // failures that make the plan unusable
    // The category the host gives each type code of the inventory, as it answered.
    std::unordered_map<std::int32_t, std::int32_t> type_categories;
};

std::string reason_text(const plan& plan, const lookup_result& lookup);

} // namespace planner
