// Every host call of a scenario that reaches all of them fails once, each call of
// each operation in turn. The failure must reach the public call that made it
// unchanged (HRESULT, source, description), without that call's Leave line, with
// the state a failed call leaves, and with nothing left alive. Set-up and the
// folder search pass their failures over instead.
#include "merge_scenario.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

using namespace testing_support;

namespace hardening {
namespace {

constexpr HRESULT injected = static_cast<HRESULT>(0x80047A11L);
const wchar_t* const injected_text = L"swept host call failed";

const wchar_t* const all_operations[] = {L"TraceService.Create",
                                         L"TraceService.Trace",
                                         L"TraceService.BindComponent",
                                         L"TraceService.Activate",
                                         L"MessagingService.Create",
                                         L"MessagingService.Configure",
                                         L"EnvironmentService.Create",
                                         L"EnvironmentService.GetText",
                                         L"HostUtility.Create",
                                         L"HostUtility.RaiseError",
                                         L"HostUtility.DescribeCategory",
                                         L"HostUtility.CategoryOfType",
                                         L"HostUtility.DescribeAclOption",
                                         L"HostUtility.ValuesEqual",
                                         L"HostUtility.SourceFlag",
                                         L"TypeNameService.Create",
                                         L"TypeNameService.DescribeObjectType",
                                         L"HostObject.ID",
                                         L"HostObject.FullPath",
                                         L"HostObject.TypeCode",
                                         L"HostObject.SubtypeCode",
                                         L"HostObject.RelatedObjects",
                                         L"Collection._NewEnum",
                                         L"Enumerator.Next",
                                         L"HostFolder.FolderObject",
                                         L"HostFolder._NewEnum",
                                         L"FolderEnumerator.Next",
                                         L"HostSession.ObjectSource",
                                         L"ObjectSource.CreateNewObject",
                                         L"HostSearch.SetDomain",
                                         L"HostSearch.SetNamePattern",
                                         L"HostSearch.TypeFilter",
                                         L"HostSearch.Execute",
                                         L"TypeFilter.AddType",
                                         L"SearchResults._NewEnum",
                                         L"SearchResultsEnumerator.Next"};

// InitializeLoggingAndMessaging ends quietly on these.
const std::set<std::wstring> setup_operations = {L"EnvironmentService.Create",  L"EnvironmentService.GetText",
                                                 L"TraceService.Create",        L"TraceService.Activate",
                                                 L"TraceService.BindComponent", L"MessagingService.Create",
                                                 L"MessagingService.Configure"};
// Made only by FindFolderWithPath, which passes their failures over.
const std::set<std::wstring> search_operations = {
    L"ObjectSource.CreateNewObject", L"HostUtility.SourceFlag", L"HostSearch.SetDomain",
    L"HostSearch.SetNamePattern",    L"HostSearch.TypeFilter",  L"HostSearch.Execute",
    L"TypeFilter.AddType",           L"SearchResults._NewEnum", L"SearchResultsEnumerator.Next"};

std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

struct run_record {
    std::vector<step_outcome> outcomes;
    stored_state state;
    std::map<std::wstring, long> counts;
    std::vector<std::wstring> lines;
    long live_before = 0, live_after = 0;
    HRESULT can_unload = S_FALSE;
};

class FaultSweepTest : public SimHostTest {
protected:
    // The scenario from a fresh state (fresh repository, thread services set up
    // anew), optionally with one failure injected.
    run_record fresh_run(std::size_t limit, const std::vector<step_outcome>* clean = nullptr,
                         const wchar_t* operation = nullptr, long nth = 0)
    {
        expect_ok(host->ClearObjects());
        expect_ok(host->Reset());
        run_record record;
        {
            merge_scenario scenario(*host);
            expect_ok(host->get_LiveObjects(&record.live_before));
            if (operation)
                expect_ok(
                    host->InjectFailure(com::bstr(operation).get(), nth, injected, com::bstr(injected_text).get()));
            record.outcomes = scenario.run(limit, clean);
            for (const wchar_t* name : all_operations)
                record.counts[name] = call_count(*host, name);
            record.lines = trace_lines(*host);
            record.state = scenario.state();
            scenario.release();
            expect_ok(host->get_LiveObjects(&record.live_after));
            record.can_unload = component_can_unload_now();
        }
        return record;
    }
};

// Whether the nth trace line of a run stands inside FindFolderWithPath (or is its
// own Leave line), where a failing Trace is passed over.
bool inside_search(const std::vector<std::wstring>& lines, long nth)
{
    int depth = 0;
    for (long i = 0; i + 1 < nth; ++i) {
        if (lines[static_cast<std::size_t>(i)] == L"Enter modCommonFunctions FindFolderWithPath") ++depth;
        if (lines[static_cast<std::size_t>(i)] == L"Leave modCommonFunctions FindFolderWithPath") --depth;
    }
    return depth > 0 && lines[static_cast<std::size_t>(nth - 1)] != L"Enter modCommonFunctions FindFolderWithPath";
}

bool is_prefix(const std::vector<std::wstring>& part, const std::vector<std::wstring>& whole)
{
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

bool is_subset(const std::vector<std::wstring>& part, const std::vector<std::wstring>& whole)
{
    return std::all_of(part.begin(), part.end(),
                       [&](const std::wstring& x) { return std::find(whole.begin(), whole.end(), x) != whole.end(); });
}

stored_state without_object_rules(stored_state state)
{
    state.object_rules.clear();
    return state;
}

TEST_F(FaultSweepTest, EveryHostCallFailsOnceWithoutDamage)
{
    const auto& steps = merge_scenario::steps();
    const run_record clean = fresh_run(steps.size());
    ASSERT_EQ(clean.outcomes.size(), steps.size());
    EXPECT_EQ(clean.live_after, clean.live_before);
    EXPECT_EQ(clean.can_unload, S_OK);
    // The scenario's own results: duplicates fail with their numbers.
    const std::map<std::size_t, HRESULT> refused = {{2, numbered(63600)},  {5, numbered(63601)},  {8, numbered(63602)},
                                                    {18, numbered(63630)}, {29, numbered(63609)}, {31, numbered(63610)},
                                                    {34, numbered(63604)}};
    const LONG actions[] = {4, 3, 6, 7, 5, 1};
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const auto expected = refused.find(i);
        EXPECT_EQ(clean.outcomes[i].code, expected == refused.end() ? S_OK : expected->second) << "step " << i;
    }
    for (std::size_t i = 0; i < std::size(actions); ++i)
        EXPECT_EQ(clean.outcomes[10 + i].value, actions[i]) << "FindAction " << i;
    EXPECT_EQ(clean.outcomes[21].value, 12) << "the folder rule's action";
    const std::size_t process = merge_scenario::process_step();

    // The state after each prefix of the clean scenario.
    std::vector<stored_state> after;
    for (std::size_t k = 0; k <= steps.size(); ++k)
        after.push_back(k == steps.size() ? clean.state : fresh_run(k).state);

    std::size_t cases = 0, operations_covered = 0, failed_cases = 0, passed_over_cases = 0;
    std::vector<std::wstring> never_called;
    for (const wchar_t* operation : all_operations) {
        const long count = clean.counts.at(operation);
        if (count == 0) {
            never_called.push_back(operation);
            continue;
        }
        ++operations_covered;
        // Every call of the operation, one at a time.
        for (long nth = 1; nth <= count; ++nth) {
            SCOPED_TRACE(testing::Message() << narrow(operation) << " #" << nth << " of " << count);
            ++cases;
            const run_record failed = fresh_run(steps.size(), &clean.outcomes, operation, nth);
            EXPECT_EQ(failed.counts.at(operation) >= nth, true) << "the failing call was made";
            EXPECT_EQ(failed.live_after, failed.live_before) << "host objects left alive";
            EXPECT_EQ(failed.can_unload, S_OK) << "component objects left alive";

            const bool is_trace = std::wstring(operation) == L"TraceService.Trace";
            const std::wstring failing_line = is_trace ? clean.lines.at(static_cast<std::size_t>(nth - 1)) : L"";
            const bool passed_over = setup_operations.count(operation) || search_operations.count(operation) ||
                                     (is_trace && inside_search(clean.lines, nth));
            const bool stopped =
                failed.outcomes.size() < steps.size() || failed.outcomes.back().code != clean.outcomes.back().code;
            if (passed_over || (!stopped && std::wstring(operation) == L"HostObject.FullPath")) {
                // A search result whose path cannot be read matches nothing.
                ASSERT_FALSE(stopped) << "failed at step " << failed.outcomes.size() - 1;
                ++passed_over_cases;
                if (setup_operations.count(operation)) {
                    EXPECT_EQ(failed.state, clean.state);
                } else {
                    EXPECT_EQ(without_object_rules(failed.state), without_object_rules(clean.state));
                    EXPECT_TRUE(is_subset(failed.state.object_rules, clean.state.object_rules));
                    EXPECT_TRUE(is_prefix(after[process].object_rules, failed.state.object_rules));
                }
                continue;
            }
            ASSERT_TRUE(stopped) << "the failure was swallowed";
            ++failed_cases;
            const std::size_t k = failed.outcomes.size() - 1;
            const step_outcome& outcome = failed.outcomes[k];
            SCOPED_TRACE(testing::Message() << "at step " << k << " " << narrow(steps[k].member_label));
            EXPECT_EQ(outcome.code, injected);
            EXPECT_EQ(outcome.error.source, L"KSimHost");
            EXPECT_EQ(outcome.error.description, injected_text);
            if (!steps[k].member_label.empty()) {
                const std::wstring leave = L"Leave " + steps[k].class_label + L" " + steps[k].member_label;
                EXPECT_EQ(std::count(outcome.lines.begin(), outcome.lines.end(), leave), 0)
                    << "a Leave line for the failed call";
            }
            const std::wstring enter = L"Enter " + steps[k].class_label + L" " + steps[k].member_label;
            const std::wstring own_leave = L"Leave " + steps[k].class_label + L" " + steps[k].member_label;
            if (k == process) {
                // The object rules added before the failure stay.
                EXPECT_EQ(without_object_rules(failed.state), without_object_rules(after[k]));
                EXPECT_TRUE(is_prefix(after[k].object_rules, failed.state.object_rules));
                EXPECT_TRUE(is_prefix(failed.state.object_rules, after[k + 1].object_rules));
                if (is_trace && failing_line == own_leave) {
                    EXPECT_EQ(failed.state, after[k + 1]);
                }
            } else if (steps[k].member_label == L"Class_Initialize" || steps[k].member_label.empty()) {
                EXPECT_EQ(failed.state, after[k]) << "a failed construction hands out nothing";
            } else if (is_trace && failing_line == own_leave) {
                EXPECT_EQ(failed.state, after[k + 1]) << "the work before the Leave line is done";
            } else if (is_trace && failing_line != enter) {
                EXPECT_TRUE(failed.state == after[k] || failed.state == after[k + 1]);
            } else {
                EXPECT_EQ(failed.state, after[k]) << "a failed call stores nothing";
            }
        }
    }
    std::printf("fault sweep: %zu host operations called, %zu (operation, nth) cases: %zu failed the call, %zu passed "
                "over\n",
                operations_covered, cases, failed_cases, passed_over_cases);
    RecordProperty("operations", static_cast<int>(operations_covered));
    RecordProperty("cases", static_cast<int>(cases));
    for (const std::wstring& name : never_called)
        ADD_FAILURE() << "the scenario never calls " << narrow(name);
}

} // namespace
} // namespace hardening
