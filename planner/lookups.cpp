#include "lookups.h"

#include "reasons.h"

#include <algorithm>
#include <chrono>

namespace planner {

namespace {

constexpr std::size_t progress_step = 4096;
constexpr std::size_t objects_per_round = 4096;
// The host logs each call as a text, which nothing reads after the folder
// expansion: forgetting them now and then keeps a million lookups from holding
// a hundred megabytes of them.
constexpr std::size_t calls_kept = 4096;

} // namespace

void run_lookups(const plan& plan, simulated_host& host, component& component, trace_sink& trace, outcome& outcome,
                 const lookup_progress& progress)
{
    const lookup_reasons reasons(plan, outcome, component.type_rules(),
                                 [&host](std::int32_t type) { return host.category_of_type(type); });
    // The reasons come from the host's compact records of each call; the lines
    // are kept only for --trace.
    const record_reads reads([&host](std::wstring_view label) { return host.trace_label_id(label); });
    std::vector<long> records;
    host.keep_trace(trace.wanted());
    trace.write(host.take_trace());
    host.keep_trace_records(true);
    const com::bstr type_code_reads(L"HostObject.TypeCode");
    long type_reads = host.call_count(type_code_reads);
    outcome.lookups.reserve(plan.resolve.size());
    host.clear_calls();
    for (std::uint32_t object : plan.resolve) {
        if (outcome.lookups.size() % calls_kept == calls_kept - 1) host.clear_calls();
        const com::com_ptr<HostObject> host_object = host.find_object(plan.objects[object].id);
        LONG action = 0;
        const HRESULT hr = host_object ? component.find_action(*host_object, action) : E_POINTER;
        const std::optional<com_failure> failure = FAILED(hr) ? std::optional(failure_of(hr)) : std::nullopt;
        host.take_trace_records(records);
        if (trace.wanted()) trace.write(host.take_trace());
        const long reads_now = host.call_count(type_code_reads);

        lookup_result result{object, action, reason_kind::failed, 0};
        if (failure) {
            outcome.lookup_failures.push_back({outcome.lookups.size(), failure->describe()});
        } else {
            reasons.explain(result, reads.read_by(records), reads_now != type_reads);
            if (result.reason == reason_kind::failed)
                outcome.lookup_failures.push_back(
                    {outcome.lookups.size(), "the trace shows no rule record read and no default taken"});
        }
        type_reads = reads_now;
        outcome.lookups.push_back(result);
        if (progress && (outcome.lookups.size() % progress_step == 0 || outcome.lookups.size() == plan.resolve.size()))
            progress(outcome.lookups.size(), plan.resolve.size());
    }
    host.keep_trace_records(false);
}

double find_action_alone(const plan& plan, simulated_host& host, component& component)
{
    host.keep_trace(false);
    std::vector<com::com_ptr<HostObject>> objects;
    std::chrono::steady_clock::duration spent{};
    for (std::size_t start = 0; start < plan.resolve.size(); start += objects_per_round) {
        const std::size_t end = std::min(plan.resolve.size(), start + objects_per_round);
        objects.clear();
        host.clear_calls();
        for (std::size_t i = start; i < end; ++i)
            objects.push_back(host.find_object(plan.objects[plan.resolve[i]].id));
        const auto began = std::chrono::steady_clock::now();
        for (const com::com_ptr<HostObject>& object : objects) {
            LONG action = 0;
            if (object) component.find_action(*object, action);
        }
        spent += std::chrono::steady_clock::now() - began;
    }
    host.take_trace();
    return std::chrono::duration<double>(spent).count();
}

} // namespace planner
