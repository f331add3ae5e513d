// ProcessFolderRule: which objects get object rules from which folder rule, in
// which order, with which host calls and trace lines.
#include "folder_fixture.h"

using namespace testing_support;

namespace {

using strings = std::vector<std::wstring>;

// The full rules of the standard tree's Reports folder with action `a`.
strings shared_reports_rules(int a)
{
    const std::wstring action = std::to_wstring(a);
    return {L"F2 8 " + action, L"r1 120 " + action, L"r2 121 " + action, L"F3 8 " + action};
}

TEST_F(FolderRulesTest, FolderAndItsDirectContentsGetTheRuleEachWithItsOwnType)
{
    standard_tree();
    folder_rule(L"\\Shared\\Reports", 4);
    process_ok();
    // Another folder of the same name is not the rule's folder; a subfolder's
    // contents are not the folder's.
    EXPECT_EQ(object_rules(), shared_reports_rules(4));
    EXPECT_EQ(action_of(L"r1"), 4);
    EXPECT_EQ(action_of(L"F2"), 4);
    EXPECT_EQ(action_of(L"F3"), 4);
    EXPECT_EQ(action_of(L"o1"), 1);
    EXPECT_EQ(action_of(L"x1"), 1);
}

TEST_F(FolderRulesTest, PathsMatchOnlyAsTheHostSpellsThem)
{
    standard_tree();
    for (const wchar_t* path : {L"\\shared\\reports", L"\\Shared\\REPORTS", L"\\Shared\\Reports\\", L"Shared\\Reports",
                                L"\\Shared\\\\Reports", L"\\\\Shared\\Reports", L"/Shared/Reports",
                                L"\\Shared\\Missing", L"\\Missing\\Reports", L"\\Reports", L""})
        folder_rule(path, 4);
    process_ok();
    EXPECT_EQ(object_rules(), strings{});
}

TEST_F(FolderRulesTest, EarlierObjectRulesWinAndLaterOnesFail)
{
    standard_tree();
    expect_ok(rules->SetObjectRule(com::bstr(L"r1").get(), 120, 9));
    expect_ok(rules->SetObjectRule(com::bstr(L"F2").get(), 77, 9));
    folder_rule(L"\\Shared\\Reports", 4);
    process_ok();
    EXPECT_EQ(object_rules(), (strings{L"r1 120 9", L"F2 77 9", L"r2 121 4", L"F3 8 4"}));
    EXPECT_EQ(action_of(L"r1"), 9);
    const failure f = failure_of(rules->SetObjectRule(com::bstr(L"r2").get(), 121, 5));
    EXPECT_EQ(f.code, numbered(63602));
    EXPECT_EQ(action_of(L"r2"), 4);
}

TEST_F(FolderRulesTest, SecondProcessingAddsRulesOnlyForNewObjects)
{
    standard_tree();
    folder_rule(L"\\Shared\\Reports", 4);
    process_ok();
    // The stored folder rule gets another action, its folder a new item, and a
    // second rule comes in.
    com::com_ptr<IKSQFolderRuleIterator> iterator;
    expect_ok(rules2->CreateFolderRuleIterator(iterator.put()));
    com::com_ptr<IKSQFolderRule> stored;
    expect_ok(iterator->Next(stored.put()));
    expect_ok(stored->put_Action(7));
    item(L"r3", L"Q3", 122, L"\\Shared\\Reports");
    folder_rule(L"\\Other\\Reports", 5);
    process_ok();
    strings expected = shared_reports_rules(4);
    for (const wchar_t* added : {L"r3 122 7", L"F5 8 5", L"x1 140 5"})
        expected.push_back(added);
    EXPECT_EQ(object_rules(), expected);
}

TEST_F(FolderRulesTest, NoFolderRulesAddNothingAndSearchNothing)
{
    standard_tree();
    clear_calls();
    process_ok();
    EXPECT_EQ(object_rules(), strings{});
    EXPECT_EQ(calls(*host), strings{L"HostSession.ObjectSource()"});
}

TEST_F(FolderRulesTest, ParentProcessedFirstDecidesTheSubfolderRule)
{
    // Unrelated folders stay in one level, walked in the order of their rules.
    standard_tree();
    folder_rule(L"\\Shared", 11);
    folder_rule(L"\\Shared\\Reports", 12);
    process_ok();
    EXPECT_EQ(object_rules(), (strings{L"F1 8 11", L"F2 8 11", L"s1 130 11", L"r1 120 12", L"r2 121 12", L"F3 8 12"}));
}

TEST_F(FolderRulesTest, SubfolderProcessedFirstKeepsItsOwnRule)
{
    standard_tree();
    folder_rule(L"\\Shared\\Reports", 12);
    folder_rule(L"\\Shared", 11);
    process_ok();
    EXPECT_EQ(object_rules(), (strings{L"F2 8 12", L"r1 120 12", L"r2 121 12", L"F3 8 12", L"F1 8 11", L"s1 130 11"}));
}

TEST_F(FolderRulesTest, RelatedFoldersAreProcessedFromTheLastLevelBack)
{
    // F1 -> F2 and F2 -> F3 sort into [F1], [F2], [F3]: F3 first, then F2, then F1.
    standard_tree();
    expect_ok(host->Relate(com::bstr(L"F1").get(), com::bstr(L"F2").get()));
    expect_ok(host->Relate(com::bstr(L"F2").get(), com::bstr(L"F3").get()));
    folder_rule(L"\\Shared", 11);
    folder_rule(L"\\Shared\\Reports", 12);
    folder_rule(L"\\Shared\\Reports\\Old", 13);
    process_ok();
    EXPECT_EQ(object_rules(),
              (strings{L"F3 8 13", L"o1 120 13", L"F2 8 12", L"r1 120 12", L"r2 121 12", L"F1 8 11", L"s1 130 11"}));
}

TEST_F(FolderRulesTest, OneSearchMakesExactlyTheseHostCalls)
{
    standard_tree();
    folder_rule(L"\\Shared\\Reports\\Old", 4);
    for (const bool flag : {true, false}) {
        expect_ok(host->SetSourceFlag(session.get(), flag ? VARIANT_TRUE : VARIANT_FALSE));
        clear_calls();
        process_ok();
        EXPECT_EQ(calls(*host), (strings{
                                    L"HostSession.ObjectSource()",
                                    L"ObjectSource.CreateNewObject(39,0,null)",
                                    L"HostUtility.SourceFlag(object)",
                                    flag ? L"HostSearch.SetDomain(3)" : L"HostSearch.SetDomain(2)",
                                    L"HostSearch.SetNamePattern(Old)",
                                    L"HostSearch.TypeFilter()",
                                    L"TypeFilter.AddType(8)",
                                    L"HostSearch.Execute(0,null,null,0,0)",
                                    L"HostFolder.FolderObject(F3)",
                                    L"HostFolder._NewEnum(F3)",
                                }));
    }
}

TEST_F(FolderRulesTest, TraceLinesNestInProcessFolderRule)
{
    item(L"A", L"A", 8, L"");
    item(L"a1", L"a1", 5, L"\\A");
    folder_rule(L"\\A", 4);
    clear_trace();
    process_ok();
    strings ours;
    for (const std::wstring& line : trace()) {
        if (line.find(L" CMergeRules ") != std::wstring::npos ||
            line.find(L" modCommonFunctions ") != std::wstring::npos)
            ours.push_back(line);
    }
    const std::wstring has_next[] = {L"Enter modCommonFunctions HasNext", L"Leave modCommonFunctions HasNext"};
    strings expected = {
        L"Enter CMergeRules ProcessFolderRule",         L"Enter CMergeRules PopulateFolderList",
        L"Enter modCommonFunctions FindFolderWithPath", L"Enter modCommonFunctions Tokenize",
        L"Leave modCommonFunctions Tokenize",           L"Leave modCommonFunctions FindFolderWithPath",
        L"Leave CMergeRules PopulateFolderList",
    };
    auto position_tests = [&](int count) {
        for (int i = 0; i < count; ++i)
            expected.insert(expected.end(), std::begin(has_next), std::end(has_next));
    };
    // The sort: HasNext and Next of the level walk, of the object walk, the
    // object walk's end and the level walk's end.
    position_tests(6);
    // The reverse level walk and the object walk, up to the folder.
    position_tests(4);
    for (const wchar_t* line :
         {L"Enter CMergeRules SetFolderContentRules", L"Enter CMergeRules SetObjectRuleWithoutError",
          L"Leave CMergeRules SetObjectRuleWithoutError", L"Enter CMergeRules SetObjectRuleWithoutError",
          L"Leave CMergeRules SetObjectRuleWithoutError", L"Leave CMergeRules SetFolderContentRules"})
        expected.push_back(line);
    // The ends of the object walk and of the level walk.
    position_tests(2);
    expected.push_back(L"Leave CMergeRules ProcessFolderRule");
    EXPECT_EQ(ours, expected);
}

TEST_F(FolderRulesTest, RecordsAreFilledThroughTheirProperties)
{
    item(L"A", L"A", 8, L"");
    folder_rule(L"\\A", 4);
    clear_trace();
    process_ok();
    strings records;
    for (const std::wstring& line : trace()) {
        if (line.find(L" CFolderRule ") != std::wstring::npos || line.find(L" CObjectRule ") != std::wstring::npos)
            records.push_back(line);
    }
    EXPECT_EQ(records, (strings{
                           L"Enter CFolderRule IKSQFolderRule_Action",
                           L"Leave CFolderRule IKSQFolderRule_Action",
                           L"Enter CObjectRule IKSQObjectRule_Action",
                           L"Leave CObjectRule IKSQObjectRule_Action",
                           L"Enter CObjectRule IKSQObjectRule_Type",
                           L"Leave CObjectRule IKSQObjectRule_Type",
                           L"Enter CObjectRule IKSQObjectRule_ObjectID",
                           L"Leave CObjectRule IKSQObjectRule_ObjectID",
                       }));
}

TEST_F(FolderRulesTest, LateBoundClientPassesTheSessionByReference)
{
    standard_tree();
    folder_rule(L"\\Other\\Reports", 6);
    auto own = rules.try_as<_CMergeRules>();
    com::com_ptr<IDispatch> dispatch(own.get());
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR name = const_cast<LPOLESTR>(L"ProcessFolderRule");
    expect_ok(dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), "GetIDsOfNames");
    EXPECT_EQ(id, 0x60030012);

    IDispatch* session_variable = nullptr;
    expect_ok(session->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&session_variable)));
    VARIANT argument;
    argument.vt = VT_BYREF | VT_DISPATCH;
    argument.ppdispVal = &session_variable;
    DISPPARAMS parameters = {&argument, nullptr, 1, 0};
    EXCEPINFO exception = {};
    expect_ok(
        dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr, &exception, nullptr),
        "Invoke");
    EXPECT_EQ(com::identity_of(session_variable).get(), com::identity_of(session.get()).get());
    if (session_variable) session_variable->Release();
    EXPECT_EQ(action_of(L"x1"), 6);
    EXPECT_EQ(action_of(L"F5"), 6);
    EXPECT_EQ(action_of(L"r1"), 1);
}

} // namespace
