#pragma once
// Why an object got its action, read from what the component did during its
// FindAction: which rule record's Action the store read, whether it read the
// object's TypeCode, and which folder rule added the object rule.

#include "observed_expansion.h"
#include "outcome.h"
#include "plan.h"

#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace planner {

// The rule record whose Action one FindAction read, if any.
enum class record_read { none, object_rule, type_rule, category_rule, defaults };

// The last record read in the trace records of one FindAction call.
record_read read_by(const std::vector<std::wstring>& trace);

class lookup_reasons {
public:
    // The category the host gives a type code.
    using category_lookup = std::function<std::int32_t(std::int32_t type)>;

    // Needs outcome's accepted object rules and folder expansion; held_type_rules
    // are the type rules as the component holds them.
    lookup_reasons(const plan& plan, const outcome& outcome, const std::vector<type_rule>& held_type_rules,
                   category_lookup category_of_type);

    // Sets result's reason and code from what its FindAction read; type_code_read:
    // whether the store read the object's TypeCode during the call.
    void explain(lookup_result& result, record_read read, bool type_code_read) const;

private:
    bool by_subtype(const plan_object& object, std::int32_t action, bool type_code_read) const;

    const plan& plan_;
    category_lookup category_of_type_;
    folder_attribution attribution_;
    std::unordered_set<std::string> set_by_plan_;
    std::unordered_map<std::int32_t, std::int32_t> type_actions_;
};

} // namespace planner
