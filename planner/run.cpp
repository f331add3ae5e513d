#include "run.h"

#include "component.h"
#include "observed_expansion.h"
#include "lookups.h"
#include "plan_comparison.h"
#include "plan_reader.h"
#include "progress.h"
#include "reports.h"
#include "rule_usage.h"
#include "simulated_host.h"
#include "timings.h"
#include "text_encoding.h"
#include "trace_sink.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>

#include <windows.h>

namespace planner {

namespace {

// The built-in sample plan (examples/sample-plan.json), embedded as resource 101
// (planner.rc.in).
std::string_view sample_plan() noexcept
{
    HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(101), MAKEINTRESOURCEW(10)); // RT_RCDATA
    if (!found) return {};
    HGLOBAL loaded = ::LoadResource(nullptr, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const char*>(data), ::SizeofResource(nullptr, found)};
}

int unusable(const std::string& message)
{
    std::fprintf(stderr, "K1MrgPlan: %s\n", message.c_str());
    return exit_unusable;
}

// A plan file's text, mapped into memory rather than copied into a buffer: the
// reader keeps copies of the texts it needs, so the file is read once, in place.
class mapped_file {
public:
    explicit mapped_file(const std::string& name)
        : file_(::CreateFileW(widen(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr))
    {
        LARGE_INTEGER size{};
        if (file_ == INVALID_HANDLE_VALUE || !::GetFileSizeEx(file_, &size)) return;
        if (size.QuadPart == 0) { // a mapping of nothing cannot be made; the text is empty
            readable_ = true;
            return;
        }
        if (static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX) return;
        mapping_ = ::CreateFileMappingW(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (!mapping_) return;
        view_ = static_cast<const char*>(::MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0));
        size_ = static_cast<std::size_t>(size.QuadPart);
        readable_ = view_ != nullptr;
    }
    mapped_file(const mapped_file&) = delete;
    mapped_file& operator=(const mapped_file&) = delete;
    ~mapped_file()
    {
        if (view_) ::UnmapViewOfFile(view_);
        if (mapping_) ::CloseHandle(mapping_);
        if (file_ != INVALID_HANDLE_VALUE) ::CloseHandle(file_);
    }

    bool readable() const noexcept { return readable_; }
    std::string_view text() const noexcept { return view_ ? std::string_view(view_, size_) : std::string_view(); }

private:
    HANDLE file_;
    HANDLE mapping_ = nullptr;
    const char* view_ = nullptr;
    std::size_t size_ = 0;
    bool readable_ = false;
};

// The benchmark's floor for reading a plan: every byte of the file, read once.
double seconds_to_read_bytes(const std::string& name)
{
    const auto began = std::chrono::steady_clock::now();
    const mapped_file file(name);
    unsigned char sum = 0;
    for (char c : file.text())
        sum = static_cast<unsigned char>(sum + static_cast<unsigned char>(c));
    volatile unsigned char kept = sum; // the sum is read, so the loop stays
    (void)kept;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
}

// A file the run writes a report into, opened before the run so that a name
// that cannot be written fails at once.
class report_file {
public:
    explicit report_file(const std::string& name) : file_(::_wfopen(widen(name).c_str(), L"wb"))
    {
        if (file_) std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
    }
    ~report_file()
    {
        if (file_) std::fclose(file_);
    }
    report_file(const report_file&) = delete;
    report_file& operator=(const report_file&) = delete;
    std::FILE* get() const noexcept { return file_; }

private:
    std::FILE* file_;
};

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
void drive(const plan& plan, trace_sink& trace, progress& progress, timings& timings, outcome& outcome)
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
    // The categories of the inventory's types, for explaining a category rule that decided nothing.
    for (const plan_object& object : plan.objects)
        if (!outcome.type_categories.contains(object.type))
            outcome.type_categories.emplace(object.type, host.category_of_type(object.type));
    timings.phase("read back");

    if (timings.floors()) {
        timings.figure("FindAction", find_action_alone(plan, host, component));
        timings.set_aside();
    }
}

// Reads a plan file, or the built-in sample without one; prints why it cannot be used.
std::optional<plan> load(const std::optional<std::string>& file, progress& progress, timings& timings)
{
    if (file && timings.floors()) {
        timings.figure("file bytes", seconds_to_read_bytes(*file));
        timings.set_aside();
    }
    std::optional<mapped_file> mapped;
    if (file) {
        mapped.emplace(*file);
        if (!mapped->readable()) {
            unusable("cannot read " + *file);
            return std::nullopt;
        }
    }
    const std::string name = file ? *file : std::string("the built-in sample");
    try {
        plan plan = read_plan(mapped ? mapped->text() : sample_plan(),
                              [&](std::size_t objects) { progress.step("reading", objects, 0); });
        progress.done("reading", plan.objects.size());
        timings.phase("reading");
        return plan;
    } catch (const plan_error& error) {
        unusable(name + ": " + error.what());
    }
    return std::nullopt;
}

// Runs one plan through its own component objects; prints why the run could not go on.
bool run_plan(const plan& plan, trace_sink& trace, progress& progress, timings& timings, outcome& outcome)
{
    try {
        drive(plan, trace, progress, timings, outcome);
        return true;
    } catch (const host_failure& error) {
        unusable(error.what());
    } catch (const component_failure& error) {
        unusable(error.what());
    }
    return false;
}

// The answers' failures, on standard error; true when there were any.
bool report_failures(const outcome& outcome)
{
    for (const std::string& failure : outcome.component_failures)
        std::fprintf(stderr, "K1MrgPlan: %s\n", failure.c_str());
    return !outcome.component_failures.empty() || !outcome.lookup_failures.empty();
}

int compare(const command_line& command, progress& progress, timings& timings)
{
    const std::optional<plan> before = load(command.compare_with, progress, timings);
    if (!before) return exit_unusable;
    const std::optional<plan> after = load(command.plan_file, progress, timings);
    if (!after) return exit_unusable;
    trace_sink trace;
    outcome before_outcome;
    outcome after_outcome;
    if (!run_plan(*before, trace, progress, timings, before_outcome)) return exit_unusable;
    if (!run_plan(*after, trace, progress, timings, after_outcome)) return exit_unusable;
    const bool failed = report_failures(before_outcome) | report_failures(after_outcome);
    if (failed) return exit_unusable;

    const comparison comparison = compare_plans(*before, before_outcome, *after, after_outcome);
    if (command.json)
        write_comparison_json(stdout, *before, *after, comparison);
    else
        write_comparison_text(stdout, *before, *after, comparison);
    std::fflush(stdout);
    timings.phase("report");
    timings.finish();
    return comparison.anything_changed() ? exit_changed : exit_unchanged;
}

bool write_csv(const std::string& name, const plan& plan, const outcome& outcome)
{
    std::FILE* file = ::_wfopen(widen(name).c_str(), L"wb");
    if (!file) return false;
    write_csv_report(file, plan, outcome);
    const bool failed = std::ferror(file) != 0;
    return std::fclose(file) == 0 && !failed;
}

} // namespace

int run(const command_line& command)
{
    if (command.help) {
        std::fputs(usage, stdout);
        return exit_accepted;
    }
    if (command.print_sample) {
        const std::string_view sample = sample_plan();
        std::fwrite(sample.data(), 1, sample.size(), stdout);
        return exit_accepted;
    }

    progress progress(command.progress);
    timings timings(command.timings, command.timings && command.floors);
    apartment apartment;
    if (!apartment.ok()) return unusable("COM cannot be initialised");
    if (command.compare_with) return compare(command, progress, timings);

    const std::optional<plan> plan = load(command.plan_file, progress, timings);
    if (!plan) return exit_unusable;
    std::unique_ptr<trace_sink> trace;
    try {
        trace = command.trace ? std::make_unique<trace_sink>(*command.trace) : std::make_unique<trace_sink>();
    } catch (const std::runtime_error& error) {
        return unusable(error.what());
    }

    std::unique_ptr<report_file> html;
    if (command.html) {
        html = std::make_unique<report_file>(*command.html);
        if (!html->get()) return unusable("cannot open the HTML file " + *command.html);
    }

    outcome outcome;
    if (!run_plan(*plan, *trace, progress, timings, outcome)) return exit_unusable;

    if (command.json)
        write_json_report(stdout, *plan, outcome);
    else
        write_text_report(stdout, *plan, outcome);
    std::fflush(stdout);
    if (command.csv && !write_csv(*command.csv, *plan, outcome)) return unusable("cannot write " + *command.csv);
    if (html) {
        write_html_report(html->get(), *plan, outcome);
        if (std::fflush(html->get()) != 0 || std::ferror(html->get()))
            return unusable("cannot write the HTML file " + *command.html);
    }
    timings.phase("report");
    timings.finish();
    if (report_failures(outcome)) return exit_unusable;
    if (!outcome.refusals.empty()) return exit_refused;
    if (command.strict) {
        const std::vector<rule_usage> rules = rule_usages(*plan, outcome);
        if (std::any_of(rules.begin(), rules.end(),
                        [](const rule_usage& rule) { return rule.status != rule_status::decided; }))
            return exit_refused;
    }
    return exit_accepted;
}

} // namespace planner
