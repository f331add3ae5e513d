#pragma once
// Why an object got its action, read from what the component did during its
// FindAction: which rule record's Action the store read, whether it read the
// object's TypeCode, and which folder rule added the object rule.

#include "observed_expansion.h"
#include "outcome.h"
#include "plan.h"

#include <array>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace planner {

// The rule record whose Action one FindAction read, if any.
enum class record_read { none, object_rule, type_rule, category_rule, defaults };

// Reads the host's compact trace records of one FindAction call (level, format
// kind, class label id, member label id: see host/trace_record.h) for the Enter
// records that read a rule record's Action or take the defaults.
class record_reads {
public:
    // The id the host's records give a label.
    using label_id = std::function<long(std::wstring_view label)>;
    explicit record_reads(const label_id& id_of);

    // The last record read in one call's records.
    record_read read_by(std::span<const long> records) const;

private:
    struct enter {
        long class_id;
        long member_id;
        record_read read;
    };
    std::array<enter, 4> enters_;
};

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
    std::unordered_set<std::string_view> set_by_plan_; // views of the plan's object rules
    std::unordered_map<std::int32_t, std::int32_t> type_actions_;
};

} // namespace planner
