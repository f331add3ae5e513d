// Setting rules: one rule per key, the first one staying in force, numbered
// errors with their one insert, exact keys, and the two interface versions.
#include "rules_fixture.h"

using namespace testing_support;

namespace {

using RuleSettingTest = RulesTest;

template <class Iterator, class Record> std::vector<com::com_ptr<Record>> walk(Iterator* iterator)
{
    std::vector<com::com_ptr<Record>> records;
    for (;;) {
        com::com_ptr<Record> next;
        expect_ok(iterator->Next(next.put()));
        if (!next) return records;
        records.push_back(next);
    }
}

template <class Record> LONG action_of(const com::com_ptr<Record>& record)
{
    LONG action = 0;
    expect_ok(record->get_Action(&action));
    return action;
}

TEST_F(RuleSettingTest, DuplicateCategoryRuleFailsWith63600AndTheCategoryText)
{
    expect_ok(rules->SetCategoryRule(2, 10));
    clear_calls();
    const failure f = failure_of(rules->SetCategoryRule(2, 11));
    EXPECT_EQ(f.code, numbered(63600));
    EXPECT_EQ(f.source, L"CMergeRules");
    EXPECT_NE(f.description.find(L"Category 2"), std::wstring::npos) << f.description;
    EXPECT_EQ(calls(*host), (std::vector<std::wstring>{L"HostUtility.DescribeCategory(2)",
                                                       L"HostUtility.RaiseError(63600,CMergeRules,[Category 2])"}));
    category_of(300, 2);
    EXPECT_EQ(action_for(L"o", 300), 10);
}

TEST_F(RuleSettingTest, DuplicateTypeRuleFailsWith63601AndTheTypeText)
{
    expect_ok(rules->SetTypeRule(8, 10));
    clear_calls();
    const failure f = failure_of(rules2->SetTypeRule(8, 11));
    EXPECT_EQ(f.code, numbered(63601));
    EXPECT_EQ(f.source, L"CMergeRules");
    EXPECT_EQ(calls(*host), (std::vector<std::wstring>{L"TypeNameService.DescribeObjectType(8)",
                                                       L"HostUtility.RaiseError(63601,CMergeRules,[Folder])"}));
    EXPECT_EQ(action_for(L"o", 8), 10);
}

TEST_F(RuleSettingTest, DuplicateObjectRuleFailsWith63602AndKeepsTheFirstRule)
{
    expect_ok(rules->SetObjectRule(com::bstr(L"id-1").get(), 5, 10));
    clear_calls();
    const failure f = failure_of(rules->SetObjectRule(com::bstr(L"id-1").get(), 6, 11));
    EXPECT_EQ(f.code, numbered(63602));
    EXPECT_EQ(f.source, L"CMergeRules");
    EXPECT_EQ(calls(*host), (std::vector<std::wstring>{L"HostUtility.RaiseError(63602,CMergeRules,[id-1])"}));
    EXPECT_EQ(action_for(L"id-1", 5), 10);
    com::com_ptr<IKSQObjectRuleIterator> iterator;
    expect_ok(rules->CreateObjectRuleIterator(iterator.put()));
    const auto stored = walk<IKSQObjectRuleIterator, IKSQObjectRule>(iterator.get());
    ASSERT_EQ(stored.size(), 1u);
    LONG type = 0;
    expect_ok(stored[0]->get_Type(&type));
    EXPECT_EQ(type, 5) << "the first rule keeps its type";
}

TEST_F(RuleSettingTest, DuplicateFolderRuleFailsWith63630AndCaseMakesAnotherPath)
{
    expect_ok(rules2->SetFolderRule(com::bstr(L"\\Root\\Sales").get(), 4));
    expect_ok(rules2->SetFolderRule(com::bstr(L"\\root\\sales").get(), 5));
    const failure f = failure_of(rules2->SetFolderRule(com::bstr(L"\\Root\\Sales").get(), 6));
    EXPECT_EQ(f.code, numbered(63630));
    EXPECT_NE(f.description.find(L"\\Root\\Sales"), std::wstring::npos) << f.description;
    com::com_ptr<IKSQFolderRuleIterator> iterator;
    expect_ok(rules2->CreateFolderRuleIterator(iterator.put()));
    const auto folders = walk<IKSQFolderRuleIterator, IKSQFolderRule>(iterator.get());
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(action_of(folders[0]), 4);
    com::bstr path;
    expect_ok(folders[1]->get_Path(path.put()));
    EXPECT_EQ(path.view(), L"\\root\\sales");
}

TEST_F(RuleSettingTest, WritingARecordsKeyFieldLeavesItUnderItsOldKey)
{
    expect_ok(rules2->SetObjectRule(com::bstr(L"old").get(), 5, 4));
    expect_ok(rules2->SetFolderRule(com::bstr(L"\\Old").get(), 3));
    com::com_ptr<IKSQObjectRuleIterator> objects;
    expect_ok(rules2->CreateObjectRuleIterator(objects.put()));
    const auto object_rules = walk<IKSQObjectRuleIterator, IKSQObjectRule>(objects.get());
    ASSERT_EQ(object_rules.size(), 1u);
    expect_ok(object_rules[0]->put_ObjectID(com::bstr(L"new").get()));
    com::bstr id;
    expect_ok(object_rules[0]->get_ObjectID(id.put()));
    EXPECT_EQ(id.view(), L"new");
    // The table still finds the rule by the ID it was set for, and only by it.
    EXPECT_EQ(action_for(L"old", 5), 4);
    EXPECT_NE(action_for(L"new", 5), 4);
    EXPECT_EQ(failure_of(rules2->SetObjectRule(com::bstr(L"old").get(), 5, 6)).code, numbered(63602));
    expect_ok(rules2->SetObjectRule(com::bstr(L"new").get(), 5, 6));

    com::com_ptr<IKSQFolderRuleIterator> folders;
    expect_ok(rules2->CreateFolderRuleIterator(folders.put()));
    const auto folder_rules = walk<IKSQFolderRuleIterator, IKSQFolderRule>(folders.get());
    ASSERT_EQ(folder_rules.size(), 1u);
    expect_ok(folder_rules[0]->put_Path(com::bstr(L"\\New").get()));
    EXPECT_EQ(failure_of(rules2->SetFolderRule(com::bstr(L"\\Old").get(), 2)).code, numbered(63630));
    expect_ok(rules2->SetFolderRule(com::bstr(L"\\New").get(), 2));
}

TEST_F(RuleSettingTest, FailedSetWritesNoLeaveLine)
{
    expect_ok(rules->SetObjectRule(com::bstr(L"a").get(), 5, 10));
    clear_trace();
    EXPECT_EQ(failure_of(rules2->SetObjectRule(com::bstr(L"a").get(), 5, 10)).code, numbered(63602));
    EXPECT_EQ(trace(), (std::vector<std::wstring>{L"Enter CMergeRules IKSQMergeRules2_SetObjectRule",
                                                  L"Enter CMergeRules IKSQMergeRules_SetObjectRule"}));
}

TEST_F(RuleSettingTest, RaiseThatReturnsStoresNothing)
{
    expect_ok(host->put_RaiseErrorSucceeds(VARIANT_TRUE));
    expect_ok(rules->SetObjectRule(com::bstr(L"a").get(), 5, 10));
    expect_ok(rules->SetObjectRule(com::bstr(L"a").get(), 5, 11));
    EXPECT_EQ(action_for(L"a", 5), 10);
}

TEST_F(RuleSettingTest, SettingAnObjectRuleFillsTheRecordActionTypeThenId)
{
    clear_trace();
    expect_ok(rules->SetObjectRule(com::bstr(L"a").get(), 5, 10));
    EXPECT_EQ(trace(), (std::vector<std::wstring>{
                           L"Enter CMergeRules IKSQMergeRules_SetObjectRule",
                           L"Enter CObjectRule IKSQObjectRule_Action",
                           L"Leave CObjectRule IKSQObjectRule_Action",
                           L"Enter CObjectRule IKSQObjectRule_Type",
                           L"Leave CObjectRule IKSQObjectRule_Type",
                           L"Enter CObjectRule IKSQObjectRule_ObjectID",
                           L"Leave CObjectRule IKSQObjectRule_ObjectID",
                           L"Leave CMergeRules IKSQMergeRules_SetObjectRule",
                       }));
}

TEST_F(RuleSettingTest, BothVersionsShareTheTables)
{
    expect_ok(rules2->SetCategoryRule(1, 31));
    EXPECT_EQ(failure_of(rules->SetCategoryRule(1, 32)).code, numbered(63600));
    expect_ok(rules->SetTypeRule(9, 33));
    EXPECT_EQ(failure_of(rules2->SetTypeRule(9, 34)).code, numbered(63601));
    expect_ok(rules2->SetObjectRule(com::bstr(L"x").get(), 1, 35));
    EXPECT_EQ(failure_of(rules->SetObjectRule(com::bstr(L"x").get(), 1, 36)).code, numbered(63602));

    com::com_ptr<IKSQObjectRuleIterator> iterator;
    expect_ok(rules->CreateObjectRuleIterator(iterator.put()));
    EXPECT_EQ((walk<IKSQObjectRuleIterator, IKSQObjectRule>(iterator.get()).size()), 1u);
    clear_trace();
    expect_ok(rules2->CreateObjectRuleIterator(iterator.put()));
    EXPECT_EQ(trace(), (std::vector<std::wstring>{
                           L"Enter CMergeRules IKSQMergeRules2_CreateObjectRuleIterator",
                           L"Enter CMergeRules IKSQMergeRules_CreateObjectRuleIterator",
                           L"Enter CObjectRuleIterator Initialize",
                           L"Leave CObjectRuleIterator Initialize",
                           L"Leave CMergeRules IKSQMergeRules_CreateObjectRuleIterator",
                           L"Leave CMergeRules IKSQMergeRules2_CreateObjectRuleIterator",
                       }));
}

TEST_F(RuleSettingTest, StoreAnswersItsInterfacesAsOneObject)
{
    com::com_ptr<IUnknown> identity = com::identity_of(rules.get());
    for (const IID* iid :
         {&IID_IKSQMergeRules, &IID_IKSQMergeRules2, &IID__CMergeRules, &IID_CMergeRules___v0, &IID_IDispatch}) {
        com::com_ptr<IUnknown> answered;
        expect_ok(rules->QueryInterface(*iid, answered.put_void()));
        EXPECT_EQ(com::identity_of(answered.get()).get(), identity.get());
    }
}

TEST_F(RuleSettingTest, CreationTracesClassInitialize)
{
    clear_trace();
    auto second = create<IUnknown>(CLSID_CMergeRules);
    EXPECT_EQ(trace(), (std::vector<std::wstring>{L"Enter CMergeRules Class_Initialize",
                                                  L"Leave CMergeRules Class_Initialize"}));
}

} // namespace
