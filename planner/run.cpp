#include "run.h"

#include "component.h"
#include "folder_expansion.h"
#include "lookups.h"
#include "plan_reader.h"
#include "progress.h"
#include "reports.h"
#include "sample_plan.h"
#include "simulated_host.h"
#include "timings.h"
#include "text_encoding.h"
#include "trace_sink.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>

namespace planner {

namespace {

int unusable(const std::string& message)
{
    std::fprintf(stderr, "K1MrgPlan: %s\n", message.c_str());
    return exit_unusable;
}

std::optional<std::string> read_file(const std::string& name)
{
    std::FILE* file = ::_wfopen(widen(name).c_str(), L"rb");
    if (!file) return std::nullopt;
    std::string text;
    // Room for the whole file at once, when its size is known.
    if (::_fseeki64(file, 0, SEEK_END) == 0) {
        const long long size = ::_ftelli64(file);
        if (size > 0) text.reserve(static_cast<std::size_t>(size));
        ::_fseeki64(file, 0, SEEK_SET);
    }
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    return text;
}

class apartment {
public:
    apartment() : hr_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~apartment()
    {
        if (SUCCEEDED(hr_)) ::CoUninitialize();
    }
    bool ok() const noexcept { return SUCCEEDED(hr_); }

private:
    HRESULT hr_;
};

// Drives the component through one plan; host_failure and component_failure
// leave it when the run cannot go on.
void drive(const plan& plan, trace_sink& trace, progress& progress, timings& timings, bool floors, outcome& outcome)
{
    simulated_host host;
    host.keep_trace(trace.wanted());
    host.set_categories(plan);
    host.add_items(plan,
                   [&](std::size_t done, std::size_t total) { progress.step("building the inventory", done, total); });
    host.relate(plan);
    progress.done("building the inventory", plan.objects.size());
    timings.phase("building the inventory");

    component component;
    component.set_rules(plan, outcome);
    component.set_options(plan, outcome);
    component.add_logs(plan, outcome);
    trace.write(host.take_trace());
    timings.phase("rules, options, logs");

    // The call log and the trace of the expansion tell what it did. Of the trace
    // only the levels the sort added matter: the host counts them, so that the
    // lines (hundreds of bytes per object) are kept only when the trace is wanted.
    const com::com_ptr<HostSession> session = host.create_session();
    trace.write(host.take_trace());
    host.take_calls();
    host.count_trace(level_added_record);
    host.count_trace(level_walked_record);
    progress.start("folder expansion", plan.objects.size());
    const std::optional<com_failure> failure = component.process_folder_rules(*session);
    const std::vector<std::wstring> calls = host.take_calls();
    const sort_trace sort(static_cast<std::size_t>(host.counted_trace(level_added_record)),
                          static_cast<std::size_t>(host.counted_trace(level_walked_record)));
    host.count_trace(L"");
    if (trace.wanted()) host.take_trace([&](std::wstring_view record) { trace.write(record); });
    outcome.expansion.ran = !failure;
    if (failure) {
        outcome.expansion.failure = failure->describe();
        outcome.component_failures.push_back("ProcessFolderRule: " + failure->describe());
    }
    read_expansion(plan, outcome.folder_rule_accepted, calls, sort, outcome.expansion);
    progress.done("folder expansion", plan.objects.size());
    timings.phase("folder expansion");

    host.keep_trace(trace.wanted());
    outcome.object_rules = component.object_rules();
    trace.write(host.take_trace());
    timings.phase("object-rule walk");
    run_lookups(plan, host, component, trace, outcome,
                [&](std::size_t done, std::size_t total) { progress.step("lookups", done, total); });
    progress.done("lookups", plan.resolve.size());
    timings.phase("lookups");

    host.keep_trace(trace.wanted());
    outcome.options = component.options();
    outcome.logs = component.logs();
    trace.write(host.take_trace());
    timings.phase("read back");

    if (floors) {
        timings.figure("FindAction", find_action_alone(plan, host, component));
        timings.set_aside();
    }
}

} // namespace

int run(const command_line& command)
{
    if (command.help) {
        std::fputs(usage, stdout);
        return exit_accepted;
    }
    const std::string_view sample = sample_plan();
    if (command.print_sample) {
        std::fwrite(sample.data(), 1, sample.size(), stdout);
        return exit_accepted;
    }

    progress progress(command.progress);
    timings timings(command.timings);
    plan plan;
    {
        std::optional<std::string> text;
        if (command.plan_file) {
            const auto began = std::chrono::steady_clock::now();
            text = read_file(*command.plan_file);
            if (!text) return unusable("cannot read " + *command.plan_file);
            if (command.floors)
                timings.figure("file bytes",
                               std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count());
        }
        const std::string name = command.plan_file ? *command.plan_file : std::string("the built-in sample");
        try {
            plan = read_plan(text ? std::string_view(*text) : sample,
                             [&](std::size_t objects) { progress.step("reading", objects, 0); });
        } catch (const plan_error& error) {
            return unusable(name + ": " + error.what());
        }
        progress.done("reading", plan.objects.size());
        timings.phase("reading");
    }

    std::unique_ptr<trace_sink> trace;
    try {
        trace = command.trace ? std::make_unique<trace_sink>(*command.trace) : std::make_unique<trace_sink>();
    } catch (const std::runtime_error& error) {
        return unusable(error.what());
    }

    outcome outcome;
    {
        apartment apartment;
        if (!apartment.ok()) return unusable("COM cannot be initialised");
        try {
            drive(plan, *trace, progress, timings, command.timings && command.floors, outcome);
        } catch (const host_failure& error) {
            return unusable(error.what());
        } catch (const component_failure& error) {
            return unusable(error.what());
        }
    }

    if (command.json)
        write_json_report(stdout, plan, outcome);
    else
        write_text_report(stdout, plan, outcome);
    std::fflush(stdout);
    timings.phase("report");
    timings.finish();
    for (const std::string& failure : outcome.component_failures)
        std::fprintf(stderr, "K1MrgPlan: %s\n", failure.c_str());
    if (!outcome.component_failures.empty() || !outcome.lookup_failures.empty()) return exit_unusable;
    return outcome.refusals.empty() ? exit_accepted : exit_refused;
}

} // namespace planner
