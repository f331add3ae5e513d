// Reasons from what the component did: the trace records of one FindAction,
// the call log of ProcessFolderRule and the levels its sort added.
#include "observed_expansion.h"
#include "plan_reader.h"
#include "reasons.h"
#include "trace_text.h"

#include <optional>
#include <gtest/gtest.h>

namespace planner {
namespace {

std::wstring enter(std::wstring_view class_label, std::wstring_view member)
{
    return L"32|[%1][%2] Function Enter|" + std::wstring(class_label) + L"|" + std::wstring(member);
}
std::wstring leave(std::wstring_view class_label, std::wstring_view member)
{
    return L"32|[%1][%2] Function Leave|" + std::wstring(class_label) + L"|" + std::wstring(member);
}

// The records around the store's read in a FindAction call.
std::vector<std::wstring> find_action_trace(std::vector<std::wstring> middle)
{
    std::vector<std::wstring> trace{enter(L"CMergeRules", L"IKSQMergeRules2_FindAction")};
    trace.insert(trace.end(), middle.begin(), middle.end());
    trace.push_back(leave(L"CMergeRules", L"IKSQMergeRules2_FindAction"));
    return trace;
}

TEST(TraceText, ExpandsTheRecordsArguments)
{
    EXPECT_EQ(trace_line_of(L"32|[%1][%2] Function Enter|CMergeRules|FindAction"),
              L"[CMergeRules][FindAction] Function Enter");
    EXPECT_EQ(trace_line_of(L"8|%2 before %1, %3 and 100%|a|b"), L"b before a, %3 and 100%");
    EXPECT_EQ(trace_line_of(L"8|no arguments"), L"no arguments");
    EXPECT_EQ(trace_line_of(L"8|empty %1 argument|"), L"empty  argument");
    EXPECT_EQ(trace_line_of(L"not a record"), L"not a record");
}

TEST(TraceText, MatchesOnlyTheWholeEnterRecord)
{
    EXPECT_TRUE(is_enter(enter(L"CObjectRule", L"IKSQObjectRule_Action"), L"CObjectRule", L"IKSQObjectRule_Action"));
    EXPECT_FALSE(is_enter(leave(L"CObjectRule", L"IKSQObjectRule_Action"), L"CObjectRule", L"IKSQObjectRule_Action"));
    EXPECT_FALSE(is_enter(enter(L"CObjectRules", L"IKSQObjectRule_Action"), L"CObjectRule", L"IKSQObjectRule_Action"));
    EXPECT_FALSE(is_enter(enter(L"CObjectRule", L"XIKSQObjectRule_Action"), L"CObjectRule", L"IKSQObjectRule_Action"));
    EXPECT_FALSE(is_enter(enter(L"CObjectRule", L"IKSQObjectRule_Action") + L"|extra", L"CObjectRule",
                          L"IKSQObjectRule_Action"));
    EXPECT_FALSE(is_enter(L"16|[%1][%2] Function Enter|CObjectRule|IKSQObjectRule_Action", L"CObjectRule",
                          L"IKSQObjectRule_Action"));
    EXPECT_FALSE(is_enter(L"32|[%1][%2] Function Enter|CObjectRuleIKSQObjectRule_Action", L"CObjectRule",
                          L"IKSQObjectRule_Action"));
}

TEST(RecordRead, TakesTheLastRuleRecordWhoseActionWasRead)
{
    EXPECT_EQ(read_by({}), record_read::none);
    EXPECT_EQ(read_by(find_action_trace({})), record_read::none);
    EXPECT_EQ(read_by(find_action_trace(
                  {enter(L"CObjectRule", L"IKSQObjectRule_Action"), leave(L"CObjectRule", L"IKSQObjectRule_Action")})),
              record_read::object_rule);
    // Reading a record's other properties is no read of its action.
    EXPECT_EQ(read_by(find_action_trace({enter(L"CObjectRule", L"IKSQObjectRule_ObjectID"),
                                         enter(L"CObjectTypeRule", L"IKSQObjectTypeRule_Action")})),
              record_read::type_rule);
    EXPECT_EQ(read_by(find_action_trace({enter(L"CObjectTypeRule", L"IKSQObjectTypeRule_TypeCode"),
                                         enter(L"CCategoryRule", L"IKSQCategoryRule_Action")})),
              record_read::category_rule);
    EXPECT_EQ(
        read_by(find_action_trace({enter(L"CCategoryRule", L"IKSQCategoryRule_Category"),
                                   enter(L"CMergeRules", L"SetDefaults"), leave(L"CMergeRules", L"SetDefaults")})),
        record_read::defaults);
    EXPECT_EQ(read_by(find_action_trace({leave(L"CMergeRules", L"SetDefaults")})), record_read::none);
}

// A folder \Top (T) holding T1, T2 and the folder \Top\Sub (S) holding S1; an
// unrelated folder \Other (O) holding O1; L in a path that is no folder.
const char* folder_plan = R"({"objects": [
    {"id": "T", "name": "Top", "type": 8},
    {"id": "T1", "type": 110, "subtype": 7001, "folder": "\\Top"},
    {"id": "T2", "type": 110, "folder": "\\Top"},
    {"id": "S", "name": "Sub", "type": 8, "folder": "\\Top", "related": ["O"]},
    {"id": "S1", "type": 110, "folder": "\\Top\\Sub"},
    {"id": "O", "name": "Other", "type": 8, "related": ["T", "L"]},
    {"id": "O1", "type": 250, "folder": "\\Other"},
    {"id": "L", "type": 110, "folder": "\\Lost"}],
  "rules": {"object": [{"id": "T2", "type": 110, "action": 1}, {"id": "O1", "type": 250, "action": 1}],
            "folder": [{"path": "\\Top", "action": 2}, {"path": "\\Top\\Sub", "action": 3},
                       {"path": "\\Nowhere", "action": 4}, {"path": "\\Refused", "action": 5}]}})";

constexpr std::uint32_t T = 0, T1 = 1, T2 = 2, S = 3, S1 = 4, O = 5, O1 = 6, L = 7;

class Expansion : public testing::Test {
protected:
    const plan plan_ = read_plan(folder_plan);
    const std::vector<bool> accepted_{true, true, true, false};

    // `levels` added to level lists, `walked` of them reached by the sort's walk.
    folder_expansion read(const std::vector<std::wstring>& calls, std::size_t levels = 1,
                          std::optional<std::size_t> walked = std::nullopt) const
    {
        folder_expansion expansion;
        expansion.ran = true;
        read_expansion(plan_, accepted_, calls, sort_trace(levels, walked.value_or(levels)), expansion);
        return expansion;
    }
};

TEST_F(Expansion, ProcessedFoldersAreTheEnumeratedOnesInFirstOrder)
{
    const folder_expansion expansion = read({
        L"HostSearch.SetNamePattern(Sub)",
        L"HostFolder.FolderObject(T)",
        L"HostFolder._NewEnum(S)",
        L"HostFolder._NewEnum(T)",
        L"HostFolder._NewEnum(S)",  // enumerated again: counted once
        L"HostFolder._NewEnum(T1)", // no folder
        L"HostFolder._NewEnum(nobody)",
        L"HostFolder._NewEnum(O", // not a whole call
        L"XHostFolder._NewEnum(O)",
    });
    EXPECT_EQ(expansion.processed, (std::vector<std::uint32_t>{S, T}));
    // Refused rules are not listed; a rule whose folder was processed found it.
    EXPECT_EQ(expansion.found_nothing, (std::vector<std::size_t>{2}));
}

TEST_F(Expansion, CountsTheLevelsAfterTheFirstAndSeesASortThatStopped)
{
    EXPECT_EQ(read({}, 0).sort_levels, 0u);
    EXPECT_EQ(read({}, 1).sort_levels, 0u);
    EXPECT_EQ(read({}, 4).sort_levels, 3u);
    EXPECT_EQ(read({}).found_nothing, (std::vector<std::size_t>{0, 1, 2}));

    // A sort that walked every level it added ended on its own; one that left
    // its last level unwalked was stopped.
    const std::vector<std::wstring> calls{L"HostFolder._NewEnum(S)", L"HostFolder._NewEnum(T)"};
    EXPECT_FALSE(read(calls, 18).sort_bound_reached);
    EXPECT_TRUE(read(calls, 18, 17).sort_bound_reached);
}

TEST_F(Expansion, AttributesAnObjectToTheFirstFolderProcessedOfItselfAndItsContainer)
{
    {
        const folder_expansion expansion = read({L"HostFolder._NewEnum(S)", L"HostFolder._NewEnum(T)"});
        const folder_attribution attribution(plan_, expansion);
        EXPECT_EQ(attribution.folder_of(S), S); // its own rule came before its container's
        EXPECT_EQ(attribution.folder_of(S1), S);
        EXPECT_EQ(attribution.folder_of(T1), T);
        EXPECT_EQ(attribution.folder_of(T), T);
        EXPECT_EQ(attribution.folder_of(O), std::nullopt);
        EXPECT_EQ(attribution.folder_of(L), std::nullopt);
    }
    {
        const folder_expansion expansion = read({L"HostFolder._NewEnum(T)", L"HostFolder._NewEnum(S)"});
        const folder_attribution attribution(plan_, expansion);
        EXPECT_EQ(attribution.folder_of(S), T); // the container's rule came first
        EXPECT_EQ(attribution.folder_of(S1), S);
    }
}

class Reasons : public Expansion {
protected:
    outcome outcome_;
    std::vector<type_rule> held_{{110, 4}, {7001, 6}, {250, 6}};

    Reasons()
    {
        outcome_.object_rule_accepted = {true, false};
        outcome_.expansion = read({L"HostFolder._NewEnum(S)", L"HostFolder._NewEnum(T)"});
    }

    lookup_result explain(std::uint32_t object, std::int32_t action, record_read read, bool type_code_read = true) const
    {
        const lookup_reasons reasons(plan_, outcome_, held_, [](std::int32_t type) { return type / 10; });
        lookup_result result{object, action, reason_kind::failed, -1};
        reasons.explain(result, read, type_code_read);
        return result;
    }
};

TEST_F(Reasons, ObjectRuleSetByThePlanOrByAFolderRule)
{
    EXPECT_EQ(explain(T2, 1, record_read::object_rule).reason, reason_kind::object_rule);
    const lookup_result in_top = explain(T1, 2, record_read::object_rule);
    EXPECT_EQ(in_top.reason, reason_kind::folder_rule);
    EXPECT_EQ(in_top.code, static_cast<std::int32_t>(T));
    EXPECT_EQ(reason_text(plan_, in_top), "object rule from folder rule \\Top");
    EXPECT_EQ(reason_text(plan_, explain(S1, 3, record_read::object_rule)), "object rule from folder rule \\Top\\Sub");
    // The plan's rule for O1 was refused, and no processed folder holds it.
    EXPECT_EQ(explain(O1, 1, record_read::object_rule).reason, reason_kind::object_rule);
}

TEST_F(Reasons, TypeRuleForTheSubtypeOrTheType)
{
    // The store never read TypeCode: it found the subtype's rule.
    const lookup_result unread = explain(T1, 4, record_read::type_rule, false);
    EXPECT_EQ(reason_text(plan_, unread), "type rule for subtype 7001");
    EXPECT_EQ(reason_text(plan_, explain(T1, 6, record_read::type_rule)), "type rule for subtype 7001");
    EXPECT_EQ(reason_text(plan_, explain(T1, 4, record_read::type_rule)), "type rule for type 110");
    EXPECT_EQ(reason_text(plan_, explain(T2, 4, record_read::type_rule)), "type rule for type 110");
    // O1 (type 250, subtype 0): only the type's rule fits.
    EXPECT_EQ(reason_text(plan_, explain(O1, 6, record_read::type_rule)), "type rule for type 250");
}

TEST_F(Reasons, CategoryRuleDefaultOrNothingRead)
{
    EXPECT_EQ(reason_text(plan_, explain(O1, 3, record_read::category_rule)), "category 25 rule");
    EXPECT_EQ(reason_text(plan_, explain(T2, 5, record_read::defaults)), "default of category 11");
    const lookup_result none = explain(T2, 5, record_read::none);
    EXPECT_EQ(none.reason, reason_kind::failed);
    EXPECT_EQ(reason_text(plan_, none), "FindAction failed");
}

} // namespace
} // namespace planner
