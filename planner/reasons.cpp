#include "reasons.h"

#include "trace_text.h"

namespace planner {

record_read read_by(const std::vector<std::wstring>& trace)
{
    record_read read = record_read::none;
    for (const std::wstring& record : trace) {
        if (is_enter(record, L"CObjectRule", L"IKSQObjectRule_Action"))
            read = record_read::object_rule;
        else if (is_enter(record, L"CObjectTypeRule", L"IKSQObjectTypeRule_Action"))
            read = record_read::type_rule;
        else if (is_enter(record, L"CCategoryRule", L"IKSQCategoryRule_Action"))
            read = record_read::category_rule;
        else if (is_enter(record, L"CMergeRules", L"SetDefaults"))
            read = record_read::defaults;
    }
    return read;
}

lookup_reasons::lookup_reasons(const plan& plan, const outcome& outcome, const std::vector<type_rule>& held_type_rules,
                               category_lookup category_of_type)
    : plan_(plan), category_of_type_(std::move(category_of_type)), attribution_(plan, outcome.expansion)
{
    for (std::size_t i = 0; i < plan.object_rules.size(); ++i)
        if (outcome.object_rule_accepted[i]) set_by_plan_.insert(plan.object_rules[i].id);
    for (const type_rule& rule : held_type_rules)
        type_actions_.emplace(rule.type, rule.action);
}

void lookup_reasons::explain(lookup_result& result, record_read read, bool type_code_read) const
{
    const plan_object& object = plan_.objects[result.object];
    switch (read) {
    case record_read::object_rule:
        result.reason = reason_kind::object_rule;
        if (!set_by_plan_.contains(object.id)) {
            if (const auto folder = attribution_.folder_of(result.object)) {
                result.reason = reason_kind::folder_rule;
                result.code = static_cast<std::int32_t>(*folder);
            }
        }
        return;
    case record_read::type_rule:
        result.reason =
            by_subtype(object, result.action, type_code_read) ? reason_kind::subtype_rule : reason_kind::type_rule;
        result.code = result.reason == reason_kind::subtype_rule ? object.subtype : object.type;
        return;
    case record_read::category_rule:
    case record_read::defaults:
        result.reason = read == record_read::category_rule ? reason_kind::category_rule : reason_kind::category_default;
        result.code = category_of_type_(object.type);
        return;
    case record_read::none:
        break;
    }
    result.reason = reason_kind::failed;
}

// Which of the two type rules gave the action. A store that never read the
// type code can only have found the subtype's rule; otherwise the rules the
// store holds and the action it gave decide, and where both fit they agree.
bool lookup_reasons::by_subtype(const plan_object& object, std::int32_t action, bool type_code_read) const
{
    if (!type_code_read) return true;
    const auto subtype = type_actions_.find(object.subtype);
    const auto type = type_actions_.find(object.type);
    const bool subtype_fits = subtype != type_actions_.end() && subtype->second == action;
    const bool type_fits = type != type_actions_.end() && type->second == action;
    return subtype_fits || !type_fits;
}

} // namespace planner
