#include "lookups.h"

#include "folder_expansion.h"
#include "trace_text.h"

#include <unordered_map>
#include <unordered_set>

namespace planner {

namespace {

constexpr std::size_t progress_step = 4096;

// The rule record whose Action one FindAction read, if any.
enum class record_read { none, object_rule, type_rule, category_rule, defaults };

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

class lookup_reasons {
public:
    lookup_reasons(const plan& plan, simulated_host& host, component& component, const outcome& outcome)
        : plan_(plan), host_(host), attribution_(plan, outcome.expansion)
    {
        for (std::size_t i = 0; i < plan.object_rules.size(); ++i)
            if (outcome.object_rule_accepted[i]) set_by_plan_.insert(plan.object_rules[i].id);
        for (const type_rule& rule : component.type_rules())
            type_actions_.emplace(rule.type, rule.action);
    }

    // type_code_read: whether the store read the object's TypeCode during the call.
    void explain(lookup_result& result, record_read read, bool type_code_read) const
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
            result.reason =
                read == record_read::category_rule ? reason_kind::category_rule : reason_kind::category_default;
            result.code = host_.category_of_type(object.type);
            return;
        case record_read::none:
            break;
        }
        result.reason = reason_kind::failed;
    }

private:
    // Which of the two type rules gave the action. A store that never read the
    // type code can only have found the subtype's rule; otherwise the rules the
    // store holds and the action it gave decide, and where both fit they agree.
    bool by_subtype(const plan_object& object, std::int32_t action, bool type_code_read) const
    {
        if (!type_code_read) return true;
        const auto subtype = type_actions_.find(object.subtype);
        const auto type = type_actions_.find(object.type);
        const bool subtype_fits = subtype != type_actions_.end() && subtype->second == action;
        const bool type_fits = type != type_actions_.end() && type->second == action;
        return subtype_fits || !type_fits;
    }

    const plan& plan_;
    simulated_host& host_;
    folder_attribution attribution_;
    std::unordered_set<std::string> set_by_plan_;
    std::unordered_map<std::int32_t, std::int32_t> type_actions_;
};

} // namespace

void run_lookups(const plan& plan, simulated_host& host, component& component, trace_sink& trace, outcome& outcome,
                 const lookup_progress& progress)
{
    const lookup_reasons reasons(plan, host, component, outcome);
    host.keep_trace(true);
    trace.write(host.take_trace());
    long type_reads = host.call_count(L"HostObject.TypeCode");
    outcome.lookups.reserve(plan.resolve.size());
    for (std::uint32_t object : plan.resolve) {
        const com::com_ptr<HostObject> host_object = host.find_object(plan.objects[object].id);
        LONG action = 0;
        const HRESULT hr = host_object ? component.find_action(*host_object, action) : E_POINTER;
        const std::optional<com_failure> failure = FAILED(hr) ? std::optional(failure_of(hr)) : std::nullopt;
        const std::vector<std::wstring> records = host.take_trace();
        trace.write(records);
        const long reads_now = host.call_count(L"HostObject.TypeCode");

        lookup_result result{object, action, reason_kind::failed, 0};
        if (failure) {
            outcome.lookup_failures.push_back({outcome.lookups.size(), failure->describe()});
        } else {
            reasons.explain(result, read_by(records), reads_now != type_reads);
            if (result.reason == reason_kind::failed)
                outcome.lookup_failures.push_back(
                    {outcome.lookups.size(), "the trace shows no rule record read and no default taken"});
        }
        type_reads = reads_now;
        outcome.lookups.push_back(result);
        if (progress && (outcome.lookups.size() % progress_step == 0 || outcome.lookups.size() == plan.resolve.size()))
            progress(outcome.lookups.size(), plan.resolve.size());
    }
}

} // namespace planner
