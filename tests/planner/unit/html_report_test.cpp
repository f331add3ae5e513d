// The HTML report: a page that needs nothing outside itself, texts that cannot
// break out of their elements, the inventory's data as the page's script reads
// it, and its size at 100,000 objects.
#include "plan_reader.h"
#include "reports.h"
#include "written.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace planner {
namespace {

std::string html_report(const plan& p, const outcome& o)
{
    return written([&](std::FILE* file) { write_html_report(file, p, o); });
}

// The inventory's JSON, as the page's script parses it.
nlohmann::json page_data(const std::string& page)
{
    const std::string start = "<script type=\"application/json\" id=\"plan-data\">";
    const std::size_t from = page.find(start);
    const std::size_t to = page.find("</script>", from);
    if (from == std::string::npos || to == std::string::npos) {
        ADD_FAILURE() << "no data element";
        return {};
    }
    return nlohmann::json::parse(page.substr(from + start.size(), to - from - start.size()));
}

std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST(HtmlReport, NeedsNothingOutsideTheFile)
{
    const plan p = read_plan(R"({"objects": [{"id": "A", "type": 110}]})");
    outcome o;
    o.lookups.push_back({0, 1, reason_kind::category_default, 1});
    const std::string page = html_report(p, o);
    for (const char* external : {"src=", "href=", "<link", "@import", "url(", "http:", "//cdn", "@font-face"})
        EXPECT_EQ(page.find(external), std::string::npos) << external;
    EXPECT_NE(page.find("default-src 'none'"), std::string::npos);
    EXPECT_NE(page.find("@media print"), std::string::npos);
    EXPECT_EQ(page.find("@@"), std::string::npos) << "a place in the template left unfilled";
}

TEST(HtmlReport, TextsStayInsideTheirElements)
{
    const plan p = read_plan(R"({"objects": [
        {"id": "X</script><script>alert(1)</script>", "name": "<!--<script>", "type": 110},
        {"id": "B&\"", "type": 8}],
        "logs": [{"file": "a<b>.log"}], "actionNames": {"3": "<i>merge</i>"}})");
    outcome o;
    o.expansion.ran = true;
    o.lookups.push_back({0, 3, reason_kind::object_rule, 0});
    o.lookups.push_back({1, 3, reason_kind::object_rule, 0});
    o.refusals.push_back({"log", 0, 63610, "CLogSettings", "bad <name> & more"});
    o.logs.push_back({"a<b>.log", 0});
    const std::string page = html_report(p, o);
    // Only the page's own two script elements end.
    EXPECT_EQ(occurrences(page, "</script>"), 2u);
    EXPECT_EQ(occurrences(page, "<script"), 2u);
    EXPECT_EQ(page.find("<i>merge"), std::string::npos);
    EXPECT_NE(page.find("3 &lt;i&gt;merge&lt;/i&gt;"), std::string::npos);
    EXPECT_NE(page.find("bad &lt;name&gt; &amp; more"), std::string::npos);
    EXPECT_NE(page.find("log setting 0 (&quot;a&lt;b&gt;.log&quot;)"), std::string::npos);
    const nlohmann::json data = page_data(page);
    EXPECT_EQ(data["objects"][0][0], "X</script><script>alert(1)</script>");
    EXPECT_EQ(data["objects"][0][1], "<!--<script>");
    EXPECT_EQ(data["objects"][1][0], "B&\"");
}

TEST(HtmlReport, DataHoldsTheTreeActionsAndReasons)
{
    // An object resolved twice counts twice in the chart and shows its first
    // lookup; one never resolved has no action; a failed lookup keeps its message.
    const plan p = read_plan(R"({"objects": [
        {"id": "F", "name": "Top", "type": 8},
        {"id": "A", "type": 110, "folder": "\\Top"},
        {"id": "L", "type": 110, "folder": "\\Lost"},
        {"id": "N", "type": 120, "subtype": 7},
        {"id": "E", "type": 120}],
        "actionNames": {"2": "replace"}, "resolve": ["F", "A", "L", "A", "E"]})");
    outcome o;
    o.expansion.ran = true;
    o.expansion.processed = {0};
    o.lookups = {{0, 2, reason_kind::folder_rule, 0},
                 {1, 2, reason_kind::folder_rule, 0},
                 {2, 5, reason_kind::category_default, 1},
                 {1, 9, reason_kind::object_rule, 0},
                 {4, 0, reason_kind::failed, 0}};
    o.lookup_failures = {{4, "error 5"}};
    const std::string page = html_report(p, o);
    const nlohmann::json data = page_data(page);
    EXPECT_EQ(data["paths"], nlohmann::json::parse(R"(["", "\\Top", "\\Lost"])"));
    EXPECT_EQ(data["owner"], nlohmann::json::parse("[-1, 0, -1]"));
    EXPECT_EQ(data["actions"], nlohmann::json::parse(R"([[2, "2 replace", 2, 0], [5, "5", 1, 1], [9, "9", 1, 2]])"));
    EXPECT_EQ(data["objects"], nlohmann::json::parse(R"([
        ["F", "Top", 8, 0, 0, 2, 1, 0],
        ["A", "A", 110, 0, 1, 2, 1, 0],
        ["L", "L", 110, 0, 2, 5, 5, 1],
        ["N", "N", 120, 7, 0, null, 7, 0],
        ["E", "E", 120, 0, 0, null, 6, 0]])"));
    EXPECT_EQ(data["failures"], nlohmann::json::parse(R"({"4": "error 5"})"));
    EXPECT_NE(page.find("data-action=\"2\" data-count=\"2\""), std::string::npos);
    EXPECT_NE(page.find("data-action=\"9\" data-count=\"1\""), std::string::npos);
    EXPECT_NE(page.find("FindAction failed for 1 object."), std::string::npos);
    EXPECT_NE(page.find("<li>\\Top</li>"), std::string::npos);
}

TEST(HtmlReport, ShowsTheDescriptionAndTheRulesThatDecidedNothingFirst)
{
    const plan p = read_plan(R"({"description": "Q3 <merge>", "objects": [{"id": "A", "type": 110}],
        "rules": {"category": [{"category": 1, "action": 5}], "type": [{"type": 999, "action": 2}],
                  "object": [{"id": "A", "type": 110, "action": 3}]}})");
    outcome o;
    o.expansion.ran = true;
    o.object_rule_accepted = {true};
    o.lookups.push_back({0, 3, reason_kind::object_rule, 0});
    const std::string page = html_report(p, o);
    EXPECT_NE(page.find("<p class=\"description\" id=\"description\">Q3 &lt;merge&gt;</p>"), std::string::npos);
    const std::size_t category = page.find("<tr data-kind=\"category\" data-index=\"0\" data-decided=\"0\"");
    const std::size_t type = page.find("<tr data-kind=\"type\" data-index=\"0\" data-decided=\"0\"");
    const std::size_t object = page.find("<tr data-kind=\"object\" data-index=\"0\" data-decided=\"1\"");
    ASSERT_NE(category, std::string::npos);
    ASSERT_NE(type, std::string::npos);
    ASSERT_NE(object, std::string::npos);
    EXPECT_LT(category, type);
    EXPECT_LT(type, object);
}

TEST(HtmlReport, StaysUnder200BytesPerObjectAt100000)
{
    constexpr std::uint32_t count = 100000;
    plan p;
    outcome o;
    o.expansion.ran = true;
    for (std::uint32_t i = 0; i < count; ++i) {
        const bool folder = i % 100 == 0;
        plan_object object;
        std::string id = folder ? "F" : "O";
        id += std::to_string(i);
        std::string name = folder ? "Folder " : "Item ";
        name += std::to_string(i);
        object.id = p.texts.keep(id);
        object.name = p.texts.keep(name);
        object.type = folder ? folder_type : 110 + static_cast<std::int32_t>(i % 7) * 10;
        object.subtype = i % 10 == 3 ? 7003 : 0;
        if (!folder) {
            object.folder = static_cast<std::uint32_t>(p.folder_paths.size() - 1);
        } else if (i > 0) {
            // Each folder inside the one before, ten deep, then again from the top.
            object.folder = (i / 100) % 10 == 0 ? 0 : static_cast<std::uint32_t>(p.folder_paths.size() - 1);
        }
        p.objects.push_back(object);
        if (folder) p.folder_paths.push_back(p.full_path(p.objects.back()));
        p.resolve.push_back(i);
        o.lookups.push_back({i, 1 + static_cast<std::int32_t>(i % 7), reason_kind::folder_rule, 0});
    }
    const std::string page = html_report(p, o);
    EXPECT_LT(page.size(), 200u * count) << page.size() / count << " bytes per object";
    EXPECT_EQ(page_data(page)["objects"].size(), count);
}

} // namespace
} // namespace planner
