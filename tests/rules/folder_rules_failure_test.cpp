// Failures during ProcessFolderRule: inside the folder search they are passed
// over, everywhere else they end the call with their error information and the
// object rules added so far stay.
#include "folder_fixture.h"

using namespace testing_support;

namespace {

using strings = std::vector<std::wstring>;

class FolderRuleFailureTest : public FolderRulesTest {
protected:
    // Both Reports folders of the standard tree, with the processing order of their rules.
    void two_rules()
    {
        standard_tree();
        folder_rule(L"\\Shared\\Reports", 4);
        folder_rule(L"\\Other\\Reports", 5);
    }

    // A fresh store with the same rules (the failing call's store keeps what it added).
    void fresh_store()
    {
        rules = create<IKSQMergeRules>(CLSID_CMergeRules);
        rules2 = rules.try_as<IKSQMergeRules2>();
        folder_rule(L"\\Shared\\Reports", 4);
        folder_rule(L"\\Other\\Reports", 5);
    }

    const strings all_rules = {L"F2 8 4", L"r1 120 4", L"r2 121 4", L"F3 8 4", L"F5 8 5", L"x1 140 5"};

    strings first(std::size_t count) { return strings(all_rules.begin(), all_rules.begin() + count); }
};

TEST_F(FolderRuleFailureTest, FailingSearchStepsArePassedOver)
{
    struct step_case {
        const wchar_t* operation;
        long nth;
        strings added; // with both rules
        bool executes; // the search still runs
    };
    const strings shared = first(4);
    const strings other = {L"F5 8 5", L"x1 140 5"};
    const step_case cases[] = {
        // No search: not found; what needs no search still runs.
        {L"ObjectSource.CreateNewObject", 1, other, false},
        {L"HostUtility.SourceFlag", 1, all_rules, true},
        {L"HostSearch.SetDomain", 1, all_rules, true},
        // Without a name pattern or a type the simulated host's search finds nothing.
        {L"HostSearch.SetNamePattern", 1, other, true},
        {L"HostSearch.TypeFilter", 1, other, true},
        {L"TypeFilter.AddType", 1, other, true},
        {L"HostSearch.Execute", 1, other, true},
        {L"SearchResults._NewEnum", 1, other, true},
        {L"SearchResultsEnumerator.Next", 1, other, true},
        // The second search's enumeration fails after F2, which does not match.
        {L"SearchResultsEnumerator.Next", 3, shared, true},
        // A result whose path cannot be read does not match; a later one can.
        {L"HostObject.FullPath", 1, other, true},
        {L"HostObject.FullPath", 2, all_rules, true},
    };
    two_rules();
    for (const step_case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.operation, c.operation + wcslen(c.operation)) << " #"
                                        << c.nth);
        fresh_store();
        expect_ok(host->Reset());
        inject(c.operation, c.nth);
        expect_ok(process(), "ProcessFolderRule");
        EXPECT_EQ(object_rules(), c.added);
        EXPECT_EQ(call_count(*host, L"HostSearch.Execute"), c.executes ? 2 : 1);
        EXPECT_EQ(call_count(*host, L"HostUtility.SourceFlag"), 2) << "each step runs, search or no search";
    }
}

TEST_F(FolderRuleFailureTest, FailingSourceFlagLeavesTheDomainUnset)
{
    two_rules();
    inject(L"HostUtility.SourceFlag");
    clear_calls();
    process_ok();
    EXPECT_EQ(call_count(*host, L"HostSearch.SetDomain"), 1) << "only the second search";
    EXPECT_EQ(call_count(*host, L"HostSearch.SetNamePattern"), 2);
}

TEST_F(FolderRuleFailureTest, OnlyTheSearchsEnterLineFailsIt)
{
    two_rules();
    clear_trace();
    process_ok();
    const strings lines = trace();
    struct trace_case {
        const wchar_t* line;
        int occurrence;
        bool fails;
        strings added;
    };
    const trace_case cases[] = {
        {L"Enter modCommonFunctions FindFolderWithPath", 2, true, {}},
        {L"Leave modCommonFunctions FindFolderWithPath", 1, false, all_rules},
        // Without its pieces the path finds no folder.
        {L"Enter modCommonFunctions Tokenize", 1, false, {L"F5 8 5", L"x1 140 5"}},
        {L"Leave modCommonFunctions Tokenize", 2, false, first(4)},
    };
    for (const trace_case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.line, c.line + wcslen(c.line)) << " #" << c.occurrence);
        const long nth = trace_call_number(lines, c.line, c.occurrence);
        fresh_store();
        clear_trace();
        inject(L"TraceService.Trace", nth);
        const HRESULT hr = process();
        if (c.fails) {
            const failure f = failure_of(hr);
            EXPECT_EQ(f.code, injected);
            EXPECT_EQ(f.description, L"host read failed");
        } else {
            expect_ok(hr, "ProcessFolderRule");
        }
        EXPECT_EQ(object_rules(), c.added);
    }
}

TEST_F(FolderRuleFailureTest, OtherFailuresEndProcessingAndKeepTheRulesSoFar)
{
    two_rules();
    clear_trace();
    process_ok();
    ASSERT_EQ(object_rules(), all_rules);
    const strings lines = trace();

    struct failure_case {
        const wchar_t* operation;
        long nth;
        std::size_t kept;
    };
    const failure_case cases[] = {
        {L"HostSession.ObjectSource", 1, 0},
        // Adding a folder to the list reads its ID.
        {L"HostObject.ID", 2, 0},
        // The sort asks each folder for its related objects.
        {L"HostObject.RelatedObjects", 2, 0},
        // Reads 1 to 3 are the searches'; 4 and 5 find each folder's rule.
        {L"HostObject.FullPath", 4, 0},
        {L"HostObject.FullPath", 5, 4},
        {L"HostFolder.FolderObject", 1, 0},
        {L"HostFolder.FolderObject", 2, 4},
        {L"HostObject.ID", 3, 0},
        {L"HostFolder._NewEnum", 1, 1},
        {L"FolderEnumerator.Next", 2, 2},
        {L"HostObject.TypeCode", 3, 3},
        {L"HostObject.ID", 5, 2},
        {L"HostFolder._NewEnum", 2, 5},
    };
    for (const failure_case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.operation, c.operation + wcslen(c.operation)) << " #"
                                        << c.nth);
        fresh_store();
        expect_ok(host->Reset());
        inject(c.operation, c.nth);
        const failure f = failure_of(process());
        EXPECT_EQ(f.code, injected);
        EXPECT_EQ(f.source, L"KSimHost");
        EXPECT_EQ(f.description, L"host read failed");
        EXPECT_EQ(object_rules(), first(c.kept));
    }

    // Tracing fails the call wherever it fails outside the search.
    const std::pair<const wchar_t*, std::size_t> trace_cases[] = {
        {L"Enter CMergeRules PopulateFolderList", 0},
        {L"Enter CSortApplicationByLevels IKSQSortApplicationObjects_Sort", 0},
        {L"Enter CObjectList IKSQObjectList_Add", 0},
        {L"Enter CLevelReverseListIterator IKSQLevelIterator_HasNext", 0},
        {L"Enter CFolderRule IKSQFolderRule_Action", 0},
        {L"Leave CMergeRules SetFolderContentRules", 4},
        {L"Leave CMergeRules ProcessFolderRule", 6},
    };
    for (const auto& [line, kept] : trace_cases) {
        SCOPED_TRACE(testing::Message() << std::string(line, line + wcslen(line)));
        const long nth = trace_call_number(lines, line);
        fresh_store();
        clear_trace();
        inject(L"TraceService.Trace", nth);
        const failure f = failure_of(process());
        EXPECT_EQ(f.code, injected);
        EXPECT_EQ(f.source, L"KSimHost");
        EXPECT_EQ(object_rules(), first(kept));
    }
}

TEST_F(FolderRuleFailureTest, MissingSessionFails)
{
    auto own = rules.try_as<_CMergeRules>();
    HostSession* none = nullptr;
    EXPECT_EQ(own->ProcessFolderRule(&none), E_POINTER);
    EXPECT_EQ(own->ProcessFolderRule(nullptr), E_POINTER);
}

} // namespace
