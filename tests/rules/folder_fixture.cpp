#include "folder_fixture.h"

namespace testing_support {

void FolderRulesTest::SetUp()
{
    RulesTest::SetUp();
    expect_ok(host->CreateSession(VARIANT_FALSE, session.put()), "CreateSession");
}

void FolderRulesTest::TearDown()
{
    items_.clear();
    session.reset();
    RulesTest::TearDown();
}

com::com_ptr<HostObject> FolderRulesTest::item(const std::wstring& id, const std::wstring& name, LONG type,
                                               const std::wstring& parent)
{
    com::com_ptr<HostObject> added;
    expect_ok(host->AddItem(com::bstr(id).get(), com::bstr(name).get(), type, 0, com::bstr(parent).get(), added.put()),
              "AddItem");
    items_[id] = added;
    return added;
}

void FolderRulesTest::standard_tree()
{
    item(L"F1", L"Shared", 8, L"");
    item(L"F2", L"Reports", 8, L"\\Shared");
    item(L"r1", L"Q1", 120, L"\\Shared\\Reports");
    item(L"r2", L"Q2", 121, L"\\Shared\\Reports");
    item(L"F3", L"Old", 8, L"\\Shared\\Reports");
    item(L"o1", L"Q0", 120, L"\\Shared\\Reports\\Old");
    item(L"s1", L"Notes", 130, L"\\Shared");
    item(L"F4", L"Other", 8, L"");
    item(L"F5", L"Reports", 8, L"\\Other");
    item(L"x1", L"Q9", 140, L"\\Other\\Reports");
    for (LONG type : {120, 121, 130, 140})
        category_of(type, 9);
}

void FolderRulesTest::folder_rule(const std::wstring& path, LONG action)
{
    expect_ok(rules2->SetFolderRule(com::bstr(path).get(), action), "SetFolderRule");
}

HRESULT FolderRulesTest::process()
{
    auto own = rules.try_as<_CMergeRules>();
    EXPECT_TRUE(own);
    HostSession* passed = session.get();
    return own->ProcessFolderRule(&passed);
}

std::vector<std::wstring> FolderRulesTest::object_rules()
{
    com::com_ptr<IKSQObjectRuleIterator> iterator;
    expect_ok(rules->CreateObjectRuleIterator(iterator.put()));
    std::vector<std::wstring> result;
    for (const auto& rule : walk<IKSQObjectRule>(*iterator)) {
        com::bstr id;
        LONG type = 0, action = 0;
        expect_ok(rule->get_ObjectID(id.put()));
        expect_ok(rule->get_Type(&type));
        expect_ok(rule->get_Action(&action));
        result.push_back(id.str() + L" " + std::to_wstring(type) + L" " + std::to_wstring(action));
    }
    return result;
}

long FolderRulesTest::trace_call_number(const std::vector<std::wstring>& lines, const std::wstring& line,
                                        int occurrence)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == line && --occurrence == 0) return static_cast<long>(i + 1);
    }
    ADD_FAILURE() << "no such trace line";
    return 0;
}

} // namespace testing_support
