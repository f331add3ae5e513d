// Rule iterators: insertion order, shared records, the snapshot of keys, and the
// iterator and record classes the host creates itself.
#include "rules_fixture.h"

#include <climits>

using namespace testing_support;

namespace {

using RuleIteratorsTest = RulesTest;

TEST_F(RuleIteratorsTest, CategoryRulesComeInTheOrderAdded)
{
    for (LONG category : {5, 2, 9})
        expect_ok(rules->SetCategoryRule(category, category * 10));
    com::com_ptr<IKSQCategoryRuleIterator> iterator;
    expect_ok(rules->CreateCategoryRuleIterator(iterator.put()));
    std::vector<LONG> seen;
    for (const auto& rule : walk<IKSQCategoryRule>(*iterator)) {
        LONG category = 0, action = 0;
        expect_ok(rule->get_CategoryType(&category));
        expect_ok(rule->get_Action(&action));
        EXPECT_EQ(action, category * 10);
        seen.push_back(category);
    }
    EXPECT_EQ(seen, (std::vector<LONG>{5, 2, 9}));
    // After the last rule the walk stays over.
    expect_walk_over<IKSQCategoryRule>(*iterator, 2);
}

TEST_F(RuleIteratorsTest, EmptyTablesYieldNothing)
{
    com::com_ptr<IKSQObjectTypeRuleIterator> types;
    expect_ok(rules->CreateObjectTypeRuleIterator(types.put()));
    expect_walk_over<IKSQObjectTypeRule>(*types);
}

TEST_F(RuleIteratorsTest, IteratorsHandOutTheStoredRecords)
{
    expect_ok(rules->SetTypeRule(7, 1));
    com::com_ptr<IKSQObjectTypeRuleIterator> first, second;
    expect_ok(rules->CreateObjectTypeRuleIterator(first.put()));
    expect_ok(rules2->CreateObjectTypeRuleIterator(second.put()));
    com::com_ptr<IKSQObjectTypeRule> a, b;
    expect_ok(first->Next(a.put()));
    expect_ok(second->Next(b.put()));
    EXPECT_EQ(com::identity_of(a.get()).get(), com::identity_of(b.get()).get());
    expect_ok(a->put_Action(42));
    LONG action = 0;
    expect_ok(b->get_Action(&action));
    EXPECT_EQ(action, 42);
    EXPECT_EQ(action_for(L"o", 7), 42);
}

TEST_F(RuleIteratorsTest, RulesAddedAfterTheSnapshotAreCountedButNotReached)
{
    expect_ok(rules->SetObjectRule(com::bstr(L"a").get(), 1, 1));
    com::com_ptr<IKSQObjectRuleIterator> iterator;
    expect_ok(rules->CreateObjectRuleIterator(iterator.put()));
    expect_ok(rules->SetObjectRule(com::bstr(L"b").get(), 1, 1));
    com::com_ptr<IKSQObjectRule> rule;
    expect_ok(iterator->Next(rule.put()));
    EXPECT_TRUE(rule);
    VARIANT_BOOL more = VARIANT_FALSE;
    expect_ok(iterator->HasNext(&more));
    EXPECT_EQ(more, VARIANT_TRUE);
    const failure f = failure_of(iterator->Next(rule.put()));
    EXPECT_EQ(f.code, numbered(9));
    EXPECT_EQ(f.source, L"CObjectRuleIterator");
    EXPECT_FALSE(rule);
    // The failed step still moved the position on: the walk is over.
    expect_ok(iterator->HasNext(&more));
    EXPECT_EQ(more, VARIANT_FALSE);

    expect_ok(rules->CreateObjectRuleIterator(iterator.put()));
    int count = 0;
    for (;; ++count) {
        expect_ok(iterator->Next(rule.put()));
        if (!rule) break;
    }
    EXPECT_EQ(count, 2);
}

TEST_F(RuleIteratorsTest, NextNestsTheHasNextLines)
{
    expect_ok(rules->SetCategoryRule(1, 1));
    com::com_ptr<IKSQCategoryRuleIterator> iterator;
    expect_ok(rules->CreateCategoryRuleIterator(iterator.put()));
    clear_trace();
    com::com_ptr<IKSQCategoryRule> rule;
    expect_ok(iterator->Next(rule.put()));
    EXPECT_EQ(trace(), (std::vector<std::wstring>{
                           L"Enter CCategoryRuleIterator IKSQCategoryRuleIterator_Next",
                           L"Enter CCategoryRuleIterator IKSQCategoryRuleIterator_HasNext",
                           L"Enter modCommonFunctions HasNext",
                           L"Leave modCommonFunctions HasNext",
                           L"Leave CCategoryRuleIterator IKSQCategoryRuleIterator_HasNext",
                           L"Leave CCategoryRuleIterator IKSQCategoryRuleIterator_Next",
                       }));
}

TEST_F(RuleIteratorsTest, IteratorKeepsTheStoresTableAlive)
{
    expect_ok(rules2->SetFolderRule(com::bstr(L"\\A").get(), 3));
    com::com_ptr<IKSQFolderRuleIterator> iterator;
    expect_ok(rules2->CreateFolderRuleIterator(iterator.put()));
    rules.reset();
    rules2.reset();
    com::com_ptr<IKSQFolderRule> rule;
    expect_ok(iterator->Next(rule.put()));
    ASSERT_TRUE(rule);
    com::bstr path;
    expect_ok(rule->get_Path(path.put()));
    EXPECT_EQ(path.view(), L"\\A");
}

TEST_F(RuleIteratorsTest, HostCreatedFolderClassesWork)
{
    auto iterator = create<IKSQFolderRuleIterator>(CLSID_CFolderRuleIterator);
    expect_walk_over<IKSQFolderRule>(*iterator);

    auto rule = create<IKSQFolderRule>(CLSID_CFolderRule);
    com::bstr path;
    LONG action = -1;
    expect_ok(rule->get_Path(path.put()));
    expect_ok(rule->get_Action(&action));
    EXPECT_EQ(path.view(), L"");
    EXPECT_EQ(action, 0);
    expect_ok(rule->put_Action(INT_MIN));
    expect_ok(rule->get_Action(&action));
    EXPECT_EQ(action, INT_MIN);
}

TEST_F(RuleIteratorsTest, RuleIteratorsAndRecordsAreNotCreatable)
{
    for (const CLSID* clsid :
         {&CLSID_CCategoryRuleIterator, &CLSID_CObjectRuleIterator, &CLSID_CObjectTypeRuleIterator}) {
        com::com_ptr<IUnknown> object;
        EXPECT_EQ(::CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.put_void()),
                  CLASS_E_CLASSNOTAVAILABLE);
    }
}

} // namespace
