// FindAction: object rule, type rule by subtype, type rule by type, category
// rule, then the category's default; and failures of the host's reads.
#include "rules_fixture.h"

using namespace testing_support;

namespace {

using FindActionTest = RulesTest;

constexpr LONG folder = 8;

TEST_F(FindActionTest, FreshStoreAnswersTheCategoryDefault)
{
    const std::pair<LONG, LONG> category_and_default[] = {{0, 1}, {-1, 1}, {1, 5}, {2, 5}, {3, 5}, {4, 1}, {99, 1}};
    LONG type = 500;
    for (auto [category, expected] : category_and_default) {
        category_of(type, category);
        EXPECT_EQ(action_for(L"object" + std::to_wstring(type), type), expected) << "category " << category;
        ++type;
    }
}

TEST_F(FindActionTest, DefaultPathReadsTheObjectAndTracesSetDefaults)
{
    category_of(700, 2);
    auto o = object(L"a", 700, 701);
    clear_trace();
    clear_calls();
    EXPECT_EQ(action_for(o.get()), 5);
    EXPECT_EQ(trace(), (std::vector<std::wstring>{
                           L"Enter CMergeRules IKSQMergeRules_FindAction",
                           L"Enter CMergeRules SetDefaults",
                           L"Leave CMergeRules SetDefaults",
                           L"Leave CMergeRules IKSQMergeRules_FindAction",
                       }));
    // The category comes from the type code, never the subtype code.
    EXPECT_EQ(calls(*host), (std::vector<std::wstring>{L"HostUtility.CategoryOfType(700)"}));
}

TEST_F(FindActionTest, ObjectRuleMatchesTheTypeOrTheSubtype)
{
    expect_ok(rules->SetObjectRule(com::bstr(L"by-type").get(), 30, 71));
    expect_ok(rules->SetObjectRule(com::bstr(L"by-subtype").get(), 31, 72));
    expect_ok(rules->SetTypeRule(30, 90));
    expect_ok(rules->SetTypeRule(31, 91));
    EXPECT_EQ(action_for(L"by-type", 30, 99), 71);
    EXPECT_EQ(action_for(L"by-subtype", 40, 31), 72);
}

TEST_F(FindActionTest, ObjectRuleWithAnotherTypeIsPassedOver)
{
    category_of(40, 1);
    expect_ok(rules->SetObjectRule(com::bstr(L"x").get(), 30, 71));
    EXPECT_EQ(action_for(L"x", 40, 41), 5) << "the default decides";
    expect_ok(rules->SetTypeRule(41, 81));
    EXPECT_EQ(action_for(L"x", 40, 41), 81) << "the subtype rule decides";
}

TEST_F(FindActionTest, SubtypeRuleWinsOverTypeRule)
{
    expect_ok(rules->SetTypeRule(10, 61));
    expect_ok(rules->SetTypeRule(11, 62));
    EXPECT_EQ(action_for(L"o", 10, 11), 62);
    EXPECT_EQ(action_for(L"p", 10, 12), 61);
}

TEST_F(FindActionTest, CategoryRuleOnlyWithoutTypeRules)
{
    category_of(10, 3);
    category_of(12, 3);
    expect_ok(rules->SetCategoryRule(3, 44));
    expect_ok(rules->SetTypeRule(11, 62));
    EXPECT_EQ(action_for(L"subtype-rule", 10, 11), 62);
    EXPECT_EQ(action_for(L"category-rule", 12, 13), 44);
}

TEST_F(FindActionTest, ObjectIdsAreCaseSensitive)
{
    expect_ok(rules->SetObjectRule(com::bstr(L"Obj").get(), 5, 17));
    EXPECT_EQ(action_for(L"Obj", 5), 17);
    EXPECT_EQ(action_for(L"obj", 5), 1);
    EXPECT_EQ(action_for(L"Obj ", 5), 1);
}

TEST_F(FindActionTest, ObjectRuleHitReadsTheRecordThroughItsProperties)
{
    expect_ok(rules->SetObjectRule(com::bstr(L"a").get(), 5, 17));
    auto o = object(L"a", 5);
    clear_trace();
    EXPECT_EQ(action_for(o.get()), 17);
    EXPECT_EQ(trace(), (std::vector<std::wstring>{
                           L"Enter CMergeRules IKSQMergeRules_FindAction",
                           L"Enter CObjectRule IKSQObjectRule_Type",
                           L"Leave CObjectRule IKSQObjectRule_Type",
                           L"Enter CObjectRule IKSQObjectRule_Action",
                           L"Leave CObjectRule IKSQObjectRule_Action",
                           L"Leave CMergeRules IKSQMergeRules_FindAction",
                       }));
}

TEST_F(FindActionTest, VersionTwoWrapsVersionOne)
{
    expect_ok(rules2->SetTypeRule(folder, 3));
    auto o = object(L"f", folder);
    clear_trace();
    LONG action = 0;
    expect_ok(rules2->FindAction(o.get(), &action));
    EXPECT_EQ(action, 3);
    EXPECT_EQ(trace(), (std::vector<std::wstring>{
                           L"Enter CMergeRules IKSQMergeRules2_FindAction",
                           L"Enter CMergeRules IKSQMergeRules_FindAction",
                           L"Enter CObjectTypeRule IKSQObjectTypeRule_Action",
                           L"Leave CObjectTypeRule IKSQObjectTypeRule_Action",
                           L"Leave CMergeRules IKSQMergeRules_FindAction",
                           L"Leave CMergeRules IKSQMergeRules2_FindAction",
                       }));
}

TEST_F(FindActionTest, FailingHostReadsFailTheLookupUnchanged)
{
    // On a fresh store the lookup needs every one of these reads.
    for (const wchar_t* operation :
         {L"HostObject.ID", L"HostObject.TypeCode", L"HostObject.SubtypeCode", L"HostUtility.CategoryOfType"}) {
        auto o = object(L"o", 10, 11);
        clear_trace();
        inject(operation);
        LONG action = -7;
        const failure f = failure_of(rules->FindAction(o.get(), &action));
        EXPECT_EQ(f.code, injected);
        EXPECT_EQ(f.source, L"KSimHost");
        EXPECT_EQ(f.description, L"host read failed");
        EXPECT_EQ(trace(), (std::vector<std::wstring>{L"Enter CMergeRules IKSQMergeRules_FindAction"}));
    }
}

TEST_F(FindActionTest, FailingReadThroughVersionTwoLeavesBothEnterLines)
{
    auto o = object(L"o", 10);
    clear_trace();
    inject(L"HostObject.ID");
    LONG action = 0;
    EXPECT_EQ(failure_of(rules2->FindAction(o.get(), &action)).code, injected);
    EXPECT_EQ(trace(), (std::vector<std::wstring>{L"Enter CMergeRules IKSQMergeRules2_FindAction",
                                                  L"Enter CMergeRules IKSQMergeRules_FindAction"}));
}

TEST_F(FindActionTest, NullObjectFailsWithEPointer)
{
    LONG action = 0;
    EXPECT_EQ(rules->FindAction(nullptr, &action), E_POINTER);
    EXPECT_EQ(rules2->FindAction(nullptr, &action), E_POINTER);
    EXPECT_EQ(rules->FindAction(object(L"a", 1).get(), nullptr), E_POINTER);
}

TEST_F(FindActionTest, ChangedRecordActionChangesTheAnswer)
{
    expect_ok(rules->SetObjectRule(com::bstr(L"a").get(), 5, 17));
    com::com_ptr<IKSQObjectRuleIterator> iterator;
    expect_ok(rules->CreateObjectRuleIterator(iterator.put()));
    com::com_ptr<IKSQObjectRule> record;
    expect_ok(iterator->Next(record.put()));
    ASSERT_TRUE(record);
    expect_ok(record->put_Action(23));
    EXPECT_EQ(action_for(L"a", 5), 23);
    expect_ok(record->put_Type(6));
    EXPECT_EQ(action_for(L"a", 5), 1) << "the rule no longer matches the type";
}

} // namespace
