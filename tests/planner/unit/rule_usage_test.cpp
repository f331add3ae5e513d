// What each rule decided and why the others decided nothing, on outcomes built
// by hand: the counts follow the answers' reasons, never a second lookup.
#include "plan_reader.h"
#include "reports.h"
#include "rule_usage.h"

#include <gtest/gtest.h>

namespace planner {
namespace {

const plan sales = read_plan(R"({"objects": [
    {"id": "S", "name": "Sales", "type": 8},
    {"id": "E", "name": "EMEA", "type": 8, "folder": "\\Sales"},
    {"id": "E1", "type": 110, "folder": "\\Sales\\EMEA"},
    {"id": "E2", "type": 110, "subtype": 7001, "folder": "\\Sales\\EMEA"},
    {"id": "D", "type": 230, "folder": "\\Sales"},
    {"id": "T", "type": 150}],
  "rules": {
    "category": [{"category": 1, "action": 3}, {"category": 9, "action": 3}],
    "type": [{"type": 7001, "action": 6}, {"type": 110, "action": 5}, {"type": 120, "action": 5},
             {"type": 7001, "action": 2}],
    "object": [{"id": "D", "type": 230, "action": 1}, {"id": "GONE", "type": 1, "action": 1},
               {"id": "T", "type": 999, "action": 1}],
    "folder": [{"path": "\\Sales\\EMEA", "action": 2}, {"path": "\\sales\\", "action": 2},
               {"path": "\\Sales\\EMEA", "action": 4}]}})");

// E1 and E2 from the \Sales\EMEA rule, D by its object rule, T by category 1,
// S by the default; type rule 3 and folder rule 2 were refused as duplicates.
outcome sales_outcome()
{
    outcome o;
    o.expansion.ran = true;
    o.expansion.processed = {1};
    o.expansion.found_nothing = {1};
    o.refusals = {{"type", 3, 63601, "CMergeRules", "exists"}, {"folder", 2, 63630, "CMergeRules", "exists"}};
    o.lookups = {{0, 1, reason_kind::category_default, 0}, {1, 2, reason_kind::folder_rule, 1},
                 {2, 2, reason_kind::folder_rule, 1},      {3, 2, reason_kind::folder_rule, 1},
                 {4, 1, reason_kind::object_rule, 0},      {5, 3, reason_kind::category_rule, 1},
                 {2, 2, reason_kind::folder_rule, 1}}; // E1 twice: it counts once
    o.type_categories = {{8, 0}, {110, 1}, {230, 2}, {150, 1}};
    return o;
}

const rule_usage& usage(const std::vector<rule_usage>& usages, std::string_view kind, std::size_t index)
{
    for (const rule_usage& u : usages)
        if (u.rule.kind == kind && u.rule.index == index) return u;
    throw std::out_of_range("no such rule");
}

TEST(RuleUsage, CountsEachObjectOnceForTheRuleItsReasonNames)
{
    const std::vector<rule_usage> usages = rule_usages(sales, sales_outcome());
    ASSERT_EQ(usages.size(), 2u + 4u + 3u + 3u);
    EXPECT_EQ(usages.front().rule, (rule_ref{"category", 0}));
    EXPECT_EQ(usages.back().rule, (rule_ref{"folder", 2}));
    EXPECT_EQ(usage(usages, "folder", 0).decided, 3u);
    EXPECT_EQ(usage(usages, "folder", 0).status, rule_status::decided);
    EXPECT_TRUE(usage(usages, "folder", 0).why.empty());
    EXPECT_EQ(usage(usages, "object", 0).decided, 1u);
    EXPECT_EQ(usage(usages, "category", 0).decided, 1u);
    // The refused duplicate takes nothing from the rule the component holds.
    EXPECT_EQ(usage(usages, "folder", 2).status, rule_status::refused);
    EXPECT_EQ(usage(usages, "folder", 2).decided, 0u);
    EXPECT_EQ(usage(usages, "folder", 2).why, "error 63630 from CMergeRules: exists");
}

TEST(RuleUsage, SaysWhyARuleDecidedNothing)
{
    const std::vector<rule_usage> usages = rule_usages(sales, sales_outcome());
    EXPECT_EQ(usage(usages, "category", 1).why, "no object falls into category 9");
    EXPECT_EQ(usage(usages, "type", 2).why, "no object has 120 as its type or subtype");
    EXPECT_EQ(usage(usages, "object", 1).why, "its id names no object of the inventory");
    EXPECT_EQ(usage(usages, "object", 2).why,
              "its type 999 is neither the type nor the subtype of T, so the store passes it over");
    // Type rule 0 (7001) and 1 (110) reach E1 and E2, which the folder rule took.
    EXPECT_EQ(usage(usages, "type", 1).why, "all 2 objects it applies to were decided by a rule that comes first: "
                                            "folder rule 0 (\\Sales\\EMEA) took 2");
    EXPECT_EQ(usage(usages, "type", 0).why, "the object it applies to was decided by a rule that comes first: "
                                            "folder rule 0 (\\Sales\\EMEA) took 1");
    const rule_usage& lower = usage(usages, "folder", 1);
    EXPECT_EQ(lower.status, rule_status::unused);
    EXPECT_EQ(lower.why, "its path found no folder");
    EXPECT_EQ(lower.did_you_mean, std::vector<std::string>{"\\Sales"});
    EXPECT_EQ(rule_usage_text(lower), "decided nothing: its path found no folder (did you mean \\Sales?)");
}

TEST(RuleUsage, NamesWhatTookTheObjectsOfAShadowedRuleAndWhatWasNotResolved)
{
    outcome o = sales_outcome();
    // E1 not resolved, E2 by its subtype's rule.
    o.lookups = {o.lookups[0], o.lookups[1], o.lookups[4], o.lookups[5], {3, 6, reason_kind::subtype_rule, 7001}};
    const std::vector<rule_usage> usages = rule_usages(sales, o);
    EXPECT_EQ(usage(usages, "type", 0).decided, 1u);
    EXPECT_EQ(usage(usages, "type", 1).why, "1 resolved of the 2 objects it applies to were decided by a rule "
                                            "that comes first: type rule 0 (type 7001) took 1");
    o.lookups.pop_back();
    EXPECT_EQ(usage(rule_usages(sales, o), "type", 1).why, "none of the 2 objects it applies to was resolved");
}

TEST(RuleUsage, AFailedExpansionExplainsEveryFolderRule)
{
    outcome o = sales_outcome();
    o.expansion = {};
    o.lookups.clear();
    EXPECT_EQ(usage(rule_usages(sales, o), "folder", 1).why, "ProcessFolderRule failed");
}

TEST(LoosePath, IgnoresLetterCaseAndEmptyPiecesOnly)
{
    EXPECT_EQ(loose_path("\\Sales\\EMEA"), loose_path("sales\\\\emea\\"));
    EXPECT_EQ(loose_path("\\\u00c4rger"), loose_path("\\\u00e4RGER"));
    EXPECT_NE(loose_path("\\Sales\\EMEA"), loose_path("\\Sales EMEA"));
    EXPECT_NE(loose_path("\\Sales"), loose_path("\\Sales/"));
}

TEST(RuleAttribution, NamesNoRuleForADefaultOrAFailure)
{
    const outcome o = sales_outcome();
    const rule_attribution attribution(sales, o);
    EXPECT_FALSE(attribution.decider({0, 1, reason_kind::category_default, 0}));
    EXPECT_FALSE(attribution.decider({0, 0, reason_kind::failed, 0}));
    EXPECT_EQ(attribution.decider({3, 6, reason_kind::subtype_rule, 7001}), (rule_ref{"type", 0}));
    EXPECT_EQ(rule_label(sales, {"folder", 1}), "folder rule 1 (\\sales\\)");
}

TEST(SortText, SaysTheRelationsNeverSettleOnlyWhenTheSortStopped)
{
    folder_expansion expansion;
    expansion.sort_levels = 3;
    EXPECT_EQ(unsettled_sort_text(expansion), "");
    expansion.sort_bound_reached = true;
    EXPECT_EQ(unsettled_sort_text(expansion), "the folder relations never settle; the sort stopped after 3 levels");
}

} // namespace
} // namespace planner
