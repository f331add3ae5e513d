// The readable report (folder tree, labels, sections) and the JSON document
// (structure, order, escaping), on outcomes built by hand.
#include "plan_reader.h"
#include "reports.h"
#include "written.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace planner {
namespace {

std::string text_report(const plan& p, const outcome& o)
{
    return written([&](std::FILE* f) { write_text_report(f, p, o); });
}

std::string json_report(const plan& p, const outcome& o)
{
    return written([&](std::FILE* f) { write_json_report(f, p, o); });
}

// The lines of the report's object tree, without its heading.
std::vector<std::string> tree_lines(const std::string& report)
{
    std::vector<std::string> lines;
    std::istringstream in(report.substr(report.find("reason:\n") + 8));
    for (std::string line; std::getline(in, line) && !line.empty();)
        lines.push_back(line);
    return lines;
}

// Every object resolved in plan order with action 1 by the category-0 default.
outcome all_defaults(const plan& p)
{
    outcome o;
    o.expansion.ran = true;
    for (std::uint32_t i = 0; i < p.objects.size(); ++i)
        o.lookups.push_back({i, 1, reason_kind::category_default, 0});
    return o;
}

TEST(FolderTree, NestsContentsUnderTheirFolderInPlanOrder)
{
    // Contents may come before their folder; a path that is no folder's
    // contents stands at the top after the top level, with its path shown.
    const plan p = read_plan(R"({"objects": [
        {"id": "A1", "type": 110, "folder": "\\A"},
        {"id": "L", "type": 110, "folder": "\\Lost\\Deep"},
        {"id": "B", "name": "Bee", "type": 8, "folder": "\\A"},
        {"id": "A", "type": 8},
        {"id": "B1", "type": 120, "subtype": 3, "folder": "\\A\\Bee"},
        {"id": "A2", "type": 110, "folder": "\\A"},
        {"id": "Z", "type": 8},
        {"id": "N", "type": 110, "folder": "\\A\\Bee\\B1"}]})");
    EXPECT_EQ(tree_lines(text_report(p, all_defaults(p))),
              (std::vector<std::string>{
                  "  A [A] type 8: 1, default of category 0",
                  "    A1 [A1] type 110: 1, default of category 0",
                  "    Bee [B] type 8: 1, default of category 0",
                  "      B1 [B1] type 120 subtype 3: 1, default of category 0",
                  "    A2 [A2] type 110: 1, default of category 0",
                  "  Z [Z] type 8: 1, default of category 0",
                  "  L [L] in \\Lost\\Deep type 110: 1, default of category 0",
                  // A non-folder's name makes no folder path.
                  "  N [N] in \\A\\Bee\\B1 type 110: 1, default of category 0",
              }));
}

TEST(FolderTree, IndentsEachLevelOfADeepTree)
{
    // Every folder is named "x" inside the one before: \x, \x\x, ...
    constexpr int depth = 1000;
    std::string objects = R"({"id": "0", "name": "x", "type": 8})";
    std::string path;
    for (int i = 1; i < depth; ++i) {
        path += "\\\\x";
        objects += R"(, {"id": ")" + std::to_string(i) + R"(", "name": "x", "type": 8, "folder": ")" + path + "\"}";
    }
    const plan p = read_plan("{\"objects\": [" + objects + "]}");
    const std::vector<std::string> lines = tree_lines(text_report(p, all_defaults(p)));
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(depth));
    EXPECT_EQ(lines[1], "    x [1] type 8: 1, default of category 0");
    EXPECT_EQ(lines.back(), std::string(2 * depth, ' ') + "x [999] type 8: 1, default of category 0");
}

TEST(TextReport, ShowsActionNamesFailuresAndUnresolvedObjects)
{
    const plan p = read_plan(R"({"objects": [{"id": "A", "name": "Ay", "type": 1}, {"id": "B", "type": 1},
        {"id": "C", "type": 1}, {"id": "D", "type": 1}], "actionNames": {"2": "replace", "7": "ask me"},
        "resolve": ["A", "B", "D", "A"]})");
    outcome o;
    o.lookups = {{0, 2, reason_kind::object_rule, 0},
                 {1, 7, reason_kind::type_rule, 1},
                 {3, 0, reason_kind::failed, 0},
                 {0, 2, reason_kind::object_rule, 0}};
    o.lookup_failures = {{2, "0x80004005 Unspecified error"}};
    const std::string report = text_report(p, o);
    EXPECT_EQ(tree_lines(report), (std::vector<std::string>{
                                      "  Ay [A] type 1: 2 replace, object rule",
                                      "  B [B] type 1: 7 ask me, type rule for type 1",
                                      "  C [C] type 1: not resolved",
                                      "  D [D] type 1: FindAction failed: 0x80004005 Unspecified error",
                                  }));
    // Counts per action in code order, failures left out, each lookup once.
    EXPECT_NE(report.find("Actions:\n  2 replace: 2 objects\n  7 ask me: 1 object\n\n"), std::string::npos);
    EXPECT_EQ(report.substr(0, report.find('\n')), "Merge plan: 4 objects, 0 rules, 0 options, 0 log settings");
}

TEST(TextReport, DescribesFolderRulesRefusalsOptionsAndLogs)
{
    const plan p =
        read_plan(R"({"objects": [{"id": "F", "name": "Top", "type": 8}, {"id": "G", "name": "Two", "type": 8}],
        "rules": {"folder": [{"path": "\\Top", "action": 1}, {"path": "\\top", "action": 1}]},
        "options": {"CopyACLOption": 9, "CopyFolder": 1}, "logs": [{"file": "a.log"}, {"file": "b \"x\".log"}]})");
    outcome o = all_defaults(p);
    o.expansion.processed = {1, 0};
    o.expansion.found_nothing = {1};
    o.expansion.sort_levels = 1;
    o.refusals = {{"option", 0, 63604, "CMergeOptions", "out of range"},
                  {"log", 1, 63610, "", ""},
                  {"folder", 1, 63630, "CMergeRules", "m"}};
    o.options = {{merge_option::CopyACLOption, 2}, {merge_option::TVOnOffMergeOptions, -5}};
    o.logs = {{"a.log", 0}};
    o.component_failures = {"ProcessFolderRule: broken"};
    const std::string report = text_report(p, o);
    EXPECT_NE(report.find("Folder rules:\n"
                          "  folders processed, in order: \\Two, \\Top\n"
                          "  folder rule 1 (\\top) found no folder\n"
                          "  the folder sort appended 1 level\n\n"),
              std::string::npos);
    EXPECT_NE(report.find("Refused entries: 3\n"
                          "  option 0 (CopyACLOption): error 63604 from CMergeOptions: out of range\n"
                          "  log setting 1 (\"b \"x\".log\"): error 63610\n"
                          "  folder rule 1: error 63630 from CMergeRules: m\n"),
              std::string::npos);
    EXPECT_NE(report.find("  CopyACLOption            2\n  TVOnOffMergeOptions      -5\n"), std::string::npos);
    EXPECT_NE(report.find("Log settings, as iterated:\n  \"a.log\" level 0\n"), std::string::npos);
    EXPECT_NE(report.find("\nComponent failures:\n  ProcessFolderRule: broken\n"), std::string::npos);

    o.expansion = {};
    o.expansion.failure = "0x8000FFFF";
    const std::string failed = text_report(p, o);
    EXPECT_NE(failed.find("Folder rules:\n  ProcessFolderRule failed: 0x8000FFFF\n\nRefused"), std::string::npos);

    o.expansion = {};
    o.expansion.ran = true;
    o.expansion.sort_levels = 500;
    o.expansion.sort_bound_reached = true;
    const std::string bound = text_report(p, o);
    EXPECT_NE(bound.find("  folders processed, in order: none\n  the folder sort appended 500 levels\n"
                         "  the folder relations never settle; the sort stopped after 500 levels\n"),
              std::string::npos);
}

TEST(TextReport, SaysNoneForEmptyLists)
{
    const plan p = read_plan(R"({"objects": []})");
    const std::string report = text_report(p, outcome{});
    EXPECT_NE(report.find("reason:\n  (none)\n"), std::string::npos);
    EXPECT_NE(report.find("Actions:\n  (none)\n"), std::string::npos);
    EXPECT_NE(report.find("Refused entries: 0\n"), std::string::npos);
    EXPECT_NE(report.find("Log settings, as iterated:\n  (none)\n"), std::string::npos);
}

using json = nlohmann::ordered_json;

TEST(JsonReport, HasEveryMemberInOrderAndEscapesOddTexts)
{
    const std::string odd = "q\"uote \\ back\nline\ttab \x01 caf\xC3\xA9";
    const plan p = read_plan(
        json{{"objects", {{{"id", odd}, {"type", 8}, {"name", "F"}}, {{"id", "B"}, {"type", 1}, {"folder", "\\F"}}}}}
            .dump());
    outcome o;
    o.refusals = {{"object", 1, 63602, "CMergeRules", "Rule for '" + odd + "'"}};
    o.object_rules = {{odd, 8, 2}, {"B", 1, 2}};
    o.lookups = {{1, 0, reason_kind::failed, 0}, {0, 2, reason_kind::folder_rule, 0}, {1, 0, reason_kind::failed, 0}};
    o.lookup_failures = {{2, "0x80004005"}};
    o.options = {{merge_option::CopyFolder, 1}};
    o.logs = {{"x\"y.log", 4}};
    o.expansion.ran = true;
    o.expansion.processed = {0};
    const std::string text = json_report(p, o);
    const json doc = json::parse(text);

    std::vector<std::string> keys;
    for (const auto& [key, value] : doc.items())
        keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"description", "errors", "objectRules", "actions", "rules", "options",
                                              "logs", "folders", "failures"}));
    EXPECT_EQ(doc["errors"][0], (json{{"kind", "object"},
                                      {"index", 1},
                                      {"code", 63602},
                                      {"source", "CMergeRules"},
                                      {"message", "Rule for '" + odd + "'"}}));
    EXPECT_EQ(doc["objectRules"][0]["id"], odd);
    EXPECT_EQ(doc["actions"][1], (json{{"id", odd}, {"action", 2}, {"reason", "object rule from folder rule \\F"}}));
    // A failed lookup has no action and its own message, or a general one.
    EXPECT_EQ(doc["actions"][0], (json{{"id", "B"}, {"action", nullptr}, {"error", "FindAction failed"}}));
    EXPECT_EQ(doc["actions"][2], (json{{"id", "B"}, {"action", nullptr}, {"error", "0x80004005"}}));
    EXPECT_EQ(doc["options"], (json{{"CopyFolder", 1}}));
    EXPECT_EQ(doc["logs"], (json::array({{{"file", "x\"y.log"}, {"level", 4}}})));
    EXPECT_EQ(doc["folders"]["processed"], json::array({"\\F"}));
    EXPECT_EQ(doc["folders"]["ran"], true);
    EXPECT_EQ(doc["failures"], json::array());
    // One array element a line, as the documented form shows.
    EXPECT_NE(text.find("\n    {\"kind\":\"object\",\"index\":1,"), std::string::npos);
    EXPECT_EQ(text.find('\t'), std::string::npos);
}

TEST(JsonReport, ReplacesIllFormedUtf8AndWritesEmptyArrays)
{
    plan p = read_plan(R"({"objects": [{"id": "A", "type": 1}]})");
    p.objects[0].id = "bad \xFF id"; // a component may hand back any bytes
    outcome o;
    o.lookups = {{0, 3, reason_kind::category_rule, 2}};
    o.object_rules = {{"bad \xC3", 1, 3}};
    const std::string text = json_report(p, o);
    const json doc = json::parse(text); // still valid JSON
    EXPECT_EQ(doc["actions"][0]["id"], "bad \xEF\xBF\xBD id");
    EXPECT_EQ(doc["actions"][0]["reason"], "category 2 rule");
    EXPECT_NE(text.find("\"errors\": []"), std::string::npos);
    EXPECT_NE(text.find("\"logs\": []"), std::string::npos);
    EXPECT_EQ(doc["folders"], (json{{"ran", false},
                                    {"processed", json::array()},
                                    {"foundNothing", json::array()},
                                    {"sortLevels", 0},
                                    {"sortSettled", true}}));
}

TEST(Labels, NameActionsAndRefusedEntries)
{
    const plan p = read_plan(R"({"objects": [], "actionNames": {"-1": "none", "2": ""},
        "options": {"UserMergeOptions": 1}, "logs": [{"file": "m.log"}]})");
    EXPECT_EQ(action_label(p, -1), "-1 none");
    EXPECT_EQ(action_label(p, 2), "2 ");
    EXPECT_EQ(action_label(p, 3), "3");
    EXPECT_EQ(refusal_label(p, {"option", 0, 0, "", ""}), "option 0 (UserMergeOptions)");
    EXPECT_EQ(refusal_label(p, {"log", 0, 0, "", ""}), "log setting 0 (\"m.log\")");
    EXPECT_EQ(refusal_label(p, {"category", 4, 0, "", ""}), "category rule 4");
}

} // namespace
} // namespace planner
