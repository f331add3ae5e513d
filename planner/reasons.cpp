#include "reasons.h"

#include "host/trace_record.h"

namespace planner {

namespace {

constexpr std::size_t record_size = 4; // level, format kind, class label, member label

} // namespace

record_reads::record_reads(const label_id& id_of)
    : enters_{{{id_of(L"CObjectRule"), id_of(L"IKSQObjectRule_Action"), record_read::object_rule},
               {id_of(L"CObjectTypeRule"), id_of(L"IKSQObjectTypeRule_Action"), record_read::type_rule},
               {id_of(L"CCategoryRule"), id_of(L"IKSQCategoryRule_Action"), record_read::category_rule},
               {id_of(L"CMergeRules"), id_of(L"SetDefaults"), record_read::defaults}}}
{}

record_read record_reads::read_by(std::span<const long> records) const
{
    record_read read = record_read::none;
    for (std::size_t at = 0; at + record_size <= records.size(); at += record_size) {
        if (records[at] != host_trace::level || records[at + 1] != static_cast<long>(host_trace::format_kind::enter))
            continue;
        for (const enter& candidate : enters_)
            if (records[at + 2] == candidate.class_id && records[at + 3] == candidate.member_id) read = candidate.read;
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
