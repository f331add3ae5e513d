// Comparing two plans' answers, and the CSV rows: quoting as RFC 4180 has it.
#include "plan_comparison.h"
#include "plan_reader.h"
#include "reports.h"
#include "written.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace planner {
namespace {

TEST(Csv, QuotesQuotesCommasAndLineBreaksAndWritesOneRowPerObject)
{
    const plan p = read_plan(R"({"objects": [
        {"id": "A", "name": "Say \"hi\", then\r\nleave", "type": 110, "subtype": 7, "folder": "\\F, G"},
        {"id": "B", "name": "plain", "type": 8}],
      "rules": {"type": [{"type": 7, "action": 6}]},
      "actionNames": {"6": "skip, \"really\""}})");
    outcome o;
    o.lookups = {
        {0, 6, reason_kind::subtype_rule, 7}, {1, 0, reason_kind::failed, 0}, {0, 6, reason_kind::subtype_rule, 7}};
    o.lookup_failures = {{1, "error 5, \"denied\""}};
    EXPECT_EQ(written([&](std::FILE* f) { write_csv_report(f, p, o); }),
              "id,name,type,subtype,folder,action,actionName,reasonKind,ruleKind,ruleIndex,reason\r\n"
              "A,\"Say \"\"hi\"\", then\r\nleave\",110,7,\"\\F, G\",6,\"skip, \"\"really\"\"\",subtype_rule,type,0,"
              "type rule for subtype 7\r\n"
              "B,plain,8,0,,,,failed,,,\"FindAction failed: error 5, \"\"denied\"\"\"\r\n");
}

const plan before = read_plan(R"({"description": "before", "objects": [
    {"id": "A", "type": 110}, {"id": "B", "type": 110}, {"id": "C", "type": 110}, {"id": "OLD", "type": 110}],
  "rules": {"type": [{"type": 110, "action": 2}, {"type": 110, "action": 2}], "folder": [{"path": "\\x", "action": 1}]},
  "resolve": ["A", "B", "C"]})");
const plan after = read_plan(R"({"description": "after", "objects": [
    {"id": "NEW", "type": 110}, {"id": "C", "type": 110}, {"id": "B", "type": 110}, {"id": "A", "type": 110}],
  "rules": {"type": [{"type": 110, "action": 2}], "object": [{"id": "A", "type": 110, "action": 3}],
            "folder": [{"path": "\\X", "action": 1}]}})");

outcome answers(std::vector<lookup_result> lookups)
{
    outcome o;
    o.lookups = std::move(lookups);
    return o;
}

TEST(Comparison, ListsChangedObjectsMovesAndObjectsAndRulesOnOneSide)
{
    // before: A, B, C by the type rule. after: A by its object rule (a move),
    // B the same action for another reason, C unchanged, NEW not resolved before.
    const outcome was = answers({{0, 2, reason_kind::type_rule, 110},
                                 {1, 2, reason_kind::type_rule, 110},
                                 {2, 2, reason_kind::type_rule, 110}});
    const outcome is = answers({{3, 3, reason_kind::object_rule, 0},
                                {2, 2, reason_kind::category_rule, 1},
                                {1, 2, reason_kind::type_rule, 110},
                                {0, 1, reason_kind::category_default, 1}});
    const comparison c = compare_plans(before, was, after, is);
    ASSERT_EQ(c.changed.size(), 2u);
    EXPECT_EQ(c.changed[0].id, "B"); // in the later plan's order
    EXPECT_EQ(c.changed[0].before.reason, "type rule for type 110");
    EXPECT_EQ(c.changed[0].after.reason, "category 1 rule");
    EXPECT_EQ(c.changed[1].id, "A");
    EXPECT_EQ(c.changed[1].after.action, 3);
    ASSERT_EQ(c.moves.size(), 1u);
    EXPECT_EQ(c.moves[0].before, 2);
    EXPECT_EQ(c.moves[0].after, 3);
    EXPECT_EQ(c.moves[0].objects, 1u);
    EXPECT_EQ(c.only_before, std::vector<std::string>{"OLD"});
    EXPECT_EQ(c.only_after, std::vector<std::string>{"NEW"});
    // Rules are a multiset: one of the two equal type rules went; a folder
    // path in another letter case is another rule.
    std::vector<std::string> added, removed;
    for (const compared_rule& rule : c.rules_added)
        added.push_back(compared_rule_text(rule));
    for (const compared_rule& rule : c.rules_removed)
        removed.push_back(compared_rule_text(rule));
    EXPECT_EQ(added, (std::vector<std::string>{"object rule (A, type 110): action 3", "folder rule (\\X): action 1"}));
    EXPECT_EQ(removed, (std::vector<std::string>{"type rule (type 110): action 2", "folder rule (\\x): action 1"}));
    EXPECT_TRUE(c.anything_changed());

    const std::string json = written([&](std::FILE* f) { write_comparison_json(f, before, after, c); });
    EXPECT_NE(json.find(R"({"id":"A","before":{"action":2,"reason":"type rule for type 110"},)"
                        R"("after":{"action":3,"reason":"object rule"}})"),
              std::string::npos);
    EXPECT_NE(json.find(R"({"before":2,"after":3,"objects":1})"), std::string::npos);
    EXPECT_NE(json.find(R"({"kind":"object","id":"A","type":110,"action":3})"), std::string::npos);
}

TEST(Comparison, AnObjectNotResolvedOrFailingHasNoAction)
{
    const outcome was = answers({{0, 2, reason_kind::type_rule, 110}});
    outcome is = answers({{3, 0, reason_kind::failed, 0}, {1, 2, reason_kind::type_rule, 110}});
    is.lookup_failures = {{0, "boom"}};
    const comparison c = compare_plans(before, was, after, is);
    ASSERT_EQ(c.changed.size(), 2u);
    EXPECT_EQ(c.changed[0].id, "C");
    EXPECT_EQ(c.changed[0].before.reason, "not resolved");
    EXPECT_FALSE(c.changed[0].before.action);
    EXPECT_EQ(c.changed[1].after.reason, "FindAction failed: boom");
    const std::string text = written([&](std::FILE* f) { write_comparison_text(f, before, after, c); });
    EXPECT_NE(text.find("  none -> 2: 1 object\n  2 -> none: 1 object\n"), std::string::npos) << text;
}

TEST(Comparison, APlanAgainstItselfChangesNothing)
{
    const outcome o = answers({{0, 2, reason_kind::type_rule, 110}});
    const comparison c = compare_plans(before, o, before, o);
    EXPECT_FALSE(c.anything_changed());
    EXPECT_EQ(written([&](std::FILE* f) { write_comparison_text(f, before, before, c); }),
              "Comparing two merge plans\nBefore: before\nAfter: before\n\nNothing changed.\n");
}

} // namespace
} // namespace planner
