// The plan reader: defaults, references between objects, and the message of
// every kind of unusable plan, which must name the field and its index.
#include "plan_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace planner {
namespace {

// The reader's message, or "accepted".
std::string error_of(const std::string& text)
{
    try {
        read_plan(text);
        return "accepted";
    } catch (const plan_error& error) {
        return error.what();
    }
}

std::string with_objects(const std::string& objects, const std::string& rest = "")
{
    return "{\"objects\": [" + objects + "]" + (rest.empty() ? "" : ", " + rest) + "}";
}

TEST(PlanReader, FillsDefaultsAndSharesFolderPaths)
{
    const plan p = read_plan(with_objects(R"({"id": "F", "name": "Top", "type": 8},
        {"id": "A", "type": 110, "folder": "\\Top"},
        {"id": "B", "name": "", "type": 110, "subtype": 7, "folder": "\\Top"},
        {"id": "C", "type": 3, "folder": ""})"));
    ASSERT_EQ(p.objects.size(), 4u);
    EXPECT_EQ(p.objects[1].name, "A");
    EXPECT_EQ(p.objects[1].subtype, 0);
    EXPECT_EQ(p.objects[2].name, ""); // given empty, not defaulted
    EXPECT_EQ(p.objects[2].subtype, 7);
    EXPECT_EQ(p.objects[0].folder, 0u);
    EXPECT_EQ(p.objects[3].folder, 0u);
    EXPECT_EQ(p.objects[1].folder, p.objects[2].folder);
    EXPECT_EQ(p.folder_of(p.objects[1]), "\\Top");
    EXPECT_EQ(p.full_path(p.objects[0]), "\\Top");
    EXPECT_EQ(p.folder_paths.size(), 2u);
    EXPECT_EQ(p.resolve, (std::vector<std::uint32_t>{0, 1, 2, 3}));
    EXPECT_TRUE(p.category_rules.empty() && p.options.empty() && p.logs.empty() && p.action_names.empty());
}

TEST(PlanReader, ResolvesReferencesInPlanOrder)
{
    const plan p = read_plan(with_objects(R"({"id": "A", "type": 8, "related": ["C", "nobody", "B", "C"]},
        {"id": "B", "type": 8}, {"id": "C", "type": 8})",
                                          R"("resolve": ["C", "A", "C"])"));
    // Forward references work; ids naming no object are dropped; repeats stay.
    const auto related = p.related_of(p.objects[0]);
    EXPECT_EQ(std::vector<std::uint32_t>(related.begin(), related.end()), (std::vector<std::uint32_t>{2, 1, 2}));
    EXPECT_EQ(p.resolve, (std::vector<std::uint32_t>{2, 0, 2}));
}

TEST(PlanReader, ReadsRulesOptionsLogsAndNamesInOrder)
{
    const plan p = read_plan(with_objects(R"({"id": "A", "type": 3})", R"(
        "categories": {"3": 1, "-8": 2},
        "rules": {"category": [{"category": 1, "action": 5}], "type": [{"type": 3, "action": 2}, {"type": 4, "action": 1}],
                  "object": [{"id": "A", "type": 3, "action": 1}], "folder": [{"path": "\\X", "action": 2}]},
        "options": {"LockTakeOverOption": 2147483647, "CopyACLOption": -2147483648},
        "logs": [{"file": "b.log"}, {"file": "a.log", "level": 3}],
        "actionNames": {"1": "keep", "-2": "odd"})"));
    EXPECT_EQ(p.categories, (std::vector<std::pair<std::int32_t, std::int32_t>>{{3, 1}, {-8, 2}}));
    ASSERT_EQ(p.type_rules.size(), 2u);
    EXPECT_EQ(p.type_rules[1].type, 4);
    EXPECT_EQ(p.object_rules[0].id, "A");
    EXPECT_EQ(p.folder_rules[0].path, "\\X");
    ASSERT_EQ(p.options.size(), 2u);
    EXPECT_EQ(p.options[0].option, merge_option::LockTakeOverOption);
    EXPECT_EQ(p.options[0].value, 2147483647);
    EXPECT_EQ(p.options[1].value, -2147483647 - 1);
    EXPECT_EQ(p.logs[0].level, 0);
    EXPECT_EQ(p.logs[1].file, "a.log");
    EXPECT_EQ(p.action_names.at(-2), "odd");
}

struct bad_plan {
    const char* plan;
    const char* message;
};

void expect_messages(std::initializer_list<bad_plan> cases)
{
    for (const bad_plan& c : cases)
        EXPECT_EQ(error_of(c.plan), c.message) << c.plan;
}

TEST(PlanReader, NamesTheObjectFieldAndIndex)
{
    expect_messages({
        {R"({"objects": [{"id": "A", "type": 1}, {"type": 1}]})", R"(objects[1]: missing field "id")"},
        {R"({"objects": [{"id": 5, "type": 1}]})", "objects[0].id: expected a text, got 5"},
        {R"({"objects": [{"id": "", "type": 1}]})", "objects[0].id: must not be empty"},
        {R"({"objects": [{"id": "A"}]})", R"(objects[0]: missing field "type")"},
        {R"({"objects": [{"id": "A", "type": null}]})", "objects[0].type: expected a 32-bit integer, got null"},
        {R"({"objects": [{"id": "A", "type": 1.5}]})", "objects[0].type: expected a 32-bit integer, got 1.5"},
        {R"({"objects": [{"id": "A", "type": true}]})", "objects[0].type: expected a 32-bit integer, got true"},
        {R"({"objects": [{"id": "A", "type": 1, "subtype": "2"}]})",
         R"(objects[0].subtype: expected a 32-bit integer, got "2")"},
        {R"({"objects": [{"id": "A", "type": 1, "name": []}]})", "objects[0].name: expected a text, got []"},
        {R"({"objects": [{"id": "A", "type": 1, "folder": 0}]})", "objects[0].folder: expected a text, got 0"},
        {R"({"objects": [{"id": "A", "type": 1, "related": "B"}]})",
         R"(objects[0].related: expected an array, got "B")"},
        {R"({"objects": [{"id": "A", "type": 1, "related": ["A", 2]}]})",
         "objects[0].related[1]: expected a text, got 2"},
        {R"({"objects": [{"id": "A", "type": 1, "Type": 1}]})", R"(objects[0]: unknown field "Type")"},
        {R"({"objects": [{"id": "A", "type": 1}, 7]})", "objects[1]: expected an object, got 7"},
    });
}

TEST(PlanReader, RefusesNumbersOutsideThirtyTwoBits)
{
    expect_messages({
        {R"({"objects": [{"id": "A", "type": 2147483647}]})", "accepted"},
        {R"({"objects": [{"id": "A", "type": -2147483648}]})", "accepted"},
        {R"({"objects": [{"id": "A", "type": 2147483648}]})",
         "objects[0].type: expected a 32-bit integer, got 2147483648"},
        {R"({"objects": [{"id": "A", "type": -2147483649}]})",
         "objects[0].type: expected a 32-bit integer, got -2147483649"},
        {R"({"objects": [{"id": "A", "type": 18446744073709551616}]})",
         "objects[0].type: expected a 32-bit integer, got 1.8446744073709552e+19"},
        {R"({"objects": [], "categories": {"4294967296": 1}})",
         R"(categories["4294967296"]: expected a 32-bit integer in decimal)"},
        {R"({"objects": [], "actionNames": {"0x1": "a"}})",
         R"(actionNames["0x1"]: expected a 32-bit integer in decimal)"},
        {R"({"objects": [], "actionNames": {"": "a"}})", R"(actionNames[""]: expected a 32-bit integer in decimal)"},
        {R"({"objects": [], "options": {"CopyFolder": 99999999999}})",
         "options.CopyFolder: expected a 32-bit integer, got 99999999999"},
    });
    EXPECT_NE(error_of(R"({"objects": [{"id": "A", "type": 1e999}]})").find("number overflow"), std::string::npos);
}

TEST(PlanReader, NamesTheRuleOptionAndLogField)
{
    expect_messages({
        {R"({"objects": [], "rules": {"category": [{"category": 1, "action": 1}, {"category": 1}]}})",
         R"(rules.category[1]: missing field "action")"},
        {R"({"objects": [], "rules": {"type": [{"type": "x", "action": 1}]}})",
         R"(rules.type[0].type: expected a 32-bit integer, got "x")"},
        {R"({"objects": [], "rules": {"object": [{"id": 1, "type": 1, "action": 1}]}})",
         "rules.object[0].id: expected a text, got 1"},
        {R"({"objects": [], "rules": {"object": [{"id": "A", "action": 1}]}})",
         R"(rules.object[0]: missing field "type")"},
        {R"({"objects": [], "rules": {"folder": [{"path": "\\X", "action": 1, "recursive": true}]}})",
         R"(rules.folder[0]: unknown field "recursive")"},
        {R"({"objects": [], "rules": {"folder": {}}})", "rules.folder: expected an array, got {}"},
        {R"({"objects": [], "rules": {"group": []}})", R"(rules: unknown field "group")"},
        {R"({"objects": [], "rules": []})", "rules: expected an object, got []"},
        {R"({"objects": [], "categories": {"3": "x"}})", R"(categories["3"]: expected a 32-bit integer, got "x")"},
        {R"({"objects": [], "categories": {"three": 1}})",
         R"(categories["three"]: expected a 32-bit integer in decimal)"},
        {R"({"objects": [], "options": {"CopyAclOption": 1}})", "options.CopyAclOption: no such merge option"},
        {R"({"objects": [], "options": []})", "options: expected an object, got []"},
        {R"({"objects": [], "logs": [{"file": "a"}, {"level": 1}]})", R"(logs[1]: missing field "file")"},
        {R"({"objects": [], "logs": [{"file": "a", "level": "high"}]})",
         R"(logs[0].level: expected a 32-bit integer, got "high")"},
        {R"({"objects": [], "actionNames": {"1": 1}})", R"(actionNames["1"]: expected a text, got 1)"},
        {R"({"objects": [], "description": 1})", "description: expected a text, got 1"},
        {R"({"$schema": "../docs/plan.schema.json", "objects": []})", "accepted"},
        {R"({"objects": [], "$schema": 1})", "$schema: expected a text, got 1"},
    });
}

TEST(PlanReader, RefusesUnusableStructure)
{
    expect_messages({
        {"[]", "plan: expected a JSON object, got []"},
        {"{}", R"(plan: missing field "objects")"},
        {R"({"objects": {}})", "objects: expected an array, got {}"},
        {R"({"objects": [], "extra": 1})", R"(plan: unknown field "extra")"},
        {R"({"objects": [], "objects": []})", "objects: given twice"},
        {R"({"objects": [{"id": "A", "type": 1}], "resolve": "A"})", R"(resolve: expected an array, got "A")"},
        {R"({"objects": [{"id": "A", "type": 1}], "resolve": ["A", 1]})", "resolve[1]: expected a text, got 1"},
        {R"({"objects": [{"id": "A", "type": 1}], "resolve": ["A", "Z"]})", R"(resolve[1]: "Z" names no object)"},
    });
    EXPECT_EQ(error_of("").substr(0, 14), "malformed JSON");
    EXPECT_EQ(error_of(R"({"objects": [)").substr(0, 14), "malformed JSON");
}

TEST(PlanReader, RefusesDuplicateIdsAndFolderPaths)
{
    expect_messages({
        {R"({"objects": [{"id": "A", "type": 1}, {"id": "B", "type": 1}, {"id": "A", "type": 2}]})",
         R"(objects[2].id: "A" is already the id of objects[0])"},
        // Ids are compared as they stand.
        {R"({"objects": [{"id": "A", "type": 1}, {"id": "a", "type": 1}]})", "accepted"},
        {R"({"objects": [{"id": "A", "name": "X", "type": 8}, {"id": "B", "name": "X", "type": 8}]})",
         R"(objects[1]: a folder with the full path "\X" is already objects[0])"},
        // Only folders have full paths that must differ.
        {R"({"objects": [{"id": "A", "name": "X", "type": 8}, {"id": "B", "name": "X", "type": 110}]})", "accepted"},
        {R"({"objects": [{"id": "A", "name": "X", "type": 8}, {"id": "B", "name": "X", "type": 8, "folder": "\\X"}]})",
         "accepted"},
    });
}

TEST(PlanReader, BoundsNesting)
{
    const auto nested = [](int depth) {
        return std::string(static_cast<std::size_t>(depth), '[') + std::string(static_cast<std::size_t>(depth), ']');
    };
    // The object is at depth 2, its field's value at 3: 61 arrays reach depth 63.
    EXPECT_EQ(error_of(with_objects(R"({"id": "A", "type": 1, "related": )" + nested(61) + "}")),
              "objects[0].related[0]: expected a text, got [[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[...");
    EXPECT_EQ(error_of(with_objects(R"({"id": "A", "type": 1, "related": )" + nested(62) + "}")),
              "objects[0]: nested deeper than 64 levels");
    EXPECT_EQ(
        error_of(with_objects(R"({"id": "A", "type": 1}, {"id": "B", "type": 1, "related": )" + nested(100000) + "}")),
        "objects[1]: nested deeper than 64 levels");
    EXPECT_EQ(error_of(with_objects("", R"("rules": )" + nested(70))), "rules: nested deeper than 64 levels");
    EXPECT_EQ(error_of(nested(70)), "plan: nested deeper than 64 levels");
}

TEST(PlanReader, RefusesInvalidUtf8WithoutEchoingIt)
{
    for (const std::string bad : {"\xC3", "\xFF", "\xED\xA0\x80", "\xC0\xAF"}) {
        const std::string message = error_of(with_objects(R"({"id": ")" + bad + R"(", "type": 1})"));
        EXPECT_EQ(message.substr(0, 14), "malformed JSON") << message;
        EXPECT_NE(message.find("ill-formed UTF-8"), std::string::npos) << message;
        for (char c : message)
            EXPECT_LT(static_cast<unsigned char>(c), 0x80) << message;
    }
    const plan p = read_plan(with_objects(R"({"id": "\u00e9t\u00e9", "name": "caf\u00e9", "type": 1})"));
    EXPECT_EQ(p.objects[0].id, "\xC3\xA9t\xC3\xA9");
}

// The objects are streamed field by field; a value of the wrong kind, however
// deep, is still shown whole, and where it stood decides the message.
TEST(PlanReader, StreamsObjectsAndShowsNestedValuesOfTheWrongKind)
{
    expect_messages({
        {R"({"objects": [{"id": "A", "type": 1, "name": {"a": [1]}}]})",
         R"(objects[0].name: expected a text, got {"a":[1]})"},
        {R"({"objects": [{"id": "A", "type": 1}, [1, [2]]]})", "objects[1]: expected an object, got [1,[2]]"},
        {R"({"objects": [{"id": "A", "type": 1, "extra": {"x": [1, 2]}, "also": 1}]})",
         R"(objects[0]: unknown field "extra")"},
        {R"({"objects": [{"id": "A", "type": 1}], "resolve": ["A", {"id": "A"}]})",
         R"(resolve[1]: expected a text, got {"id":"A"})"},
        {R"({"objects": {"id": "A"}})", R"(objects: expected an array, got {"id":"A"})"},
        {R"({"objects": [{"id": "A", "type": 1}], "resolve": ["A"], "resolve": []})", "resolve: given twice"},
        {R"(["objects"])", R"(plan: expected a JSON object, got ["objects"])"},
        {R"("objects")", R"(plan: expected a JSON object, got "objects")"},
    });
    // A later value of a field replaces an earlier one, as it always did.
    const plan p = read_plan(with_objects(R"({"id": "A", "type": "x", "type": 4, "name": "N"})"));
    EXPECT_EQ(p.objects[0].type, 4);
    EXPECT_EQ(p.objects[0].name, "N");
}

TEST(PlanReader, RefusesWhatFollowsTheDocumentAndLoneSurrogates)
{
    const std::string trailing_nul = with_objects("") + std::string(1, '\0') + "{}";
    EXPECT_EQ(error_of(trailing_nul).substr(0, 14), "malformed JSON");
    EXPECT_EQ(error_of(with_objects("") + " {}").substr(0, 14), "malformed JSON");
    // Half of a surrogate pair in an escape is no character.
    for (const char* half : {R"(\udc00)", R"(\ud800)", R"(\ud800x)"}) {
        const std::string message = error_of(with_objects(R"({"id": "A)" + std::string(half) + R"(", "type": 1})"));
        EXPECT_EQ(message.substr(0, 14), "malformed JSON") << half << ": " << message;
    }
    EXPECT_EQ(error_of(with_objects(R"({"id": "A", "type": 1, "na\udfff": 1})")).substr(0, 14), "malformed JSON");
    const plan p = read_plan(with_objects(R"({"id": "\ud83d\ude00", "type": 1})"));
    EXPECT_EQ(p.objects[0].id, "\xF0\x9F\x98\x80");
}

// Found by the fuzzer: a zero with an exponent sent RapidJSON's own number
// conversion into undefined behaviour. Numbers now come as text.
TEST(PlanReader, ReadsNumbersAsBeforeWhateverTheirForm)
{
    const std::string found =
        std::string("{\"objects\":0e40") + std::string(1, '\0') + "e0\"opti\x15\":\\\\ion\xE4\xC5\xDF\xDDrules\"}}\n";
    EXPECT_EQ(error_of(found).substr(0, 14), "malformed JSON");
    expect_messages({
        {R"({"objects": [{"id": "A", "type": 0e40}]})", "objects[0].type: expected a 32-bit integer, got 0.0"},
        {R"({"objects": [{"id": "A", "type": -0}]})", "accepted"},
        {R"({"objects": [{"id": "A", "type": 1E1}]})", "objects[0].type: expected a 32-bit integer, got 10.0"},
        {R"({"objects": [{"id": "A", "type": -9223372036854775809}]})",
         "objects[0].type: expected a 32-bit integer, got -9.223372036854776e+18"},
    });
    EXPECT_NE(error_of(with_objects(R"({"id": "A", "type": 9e308})")).find("number overflow"), std::string::npos);
}

TEST(PlanReader, ReportsProgressWhileReading)
{
    std::string objects;
    for (int i = 0; i < 70000; ++i)
        objects += (i ? ",{\"id\":\"" : "{\"id\":\"") + std::to_string(i) + "\",\"type\":1}";
    std::vector<std::size_t> seen;
    const plan p = read_plan(with_objects(objects), [&](std::size_t n) { seen.push_back(n); });
    EXPECT_EQ(p.objects.size(), 70000u);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 70000u);
    EXPECT_LT(seen.front(), 70000u);
}

} // namespace
} // namespace planner
