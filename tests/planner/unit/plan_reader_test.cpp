// The plan reader: defaults, references between objects, and the message of
// every kind of unusable plan, which must name the field and its index.
#include "plan_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// Plain objects are read by a scanner over the text, anything else through the
// parser's events; both must make the same plan. An object that the scanner
// leaves to the parser (a field given twice) first sends the whole plan there.
TEST(PlanReader, ScansPlainObjectsAsTheParserReadsThem)
{
    const std::string objects = R"(
        {"id": "A\"\\\/\b\f\n\r\t\u0041\u00e9\u20ac\ud83d\ude00\u0000", "name": "caf\u00e9", "type": 2147483647},
        {"id": "BÃ©â¬ð", "type": -2147483648, "subtype": -0, "folder": "\\X\\Y"},
        {"folder":"\\X\\Y","related":["first" , "C","nobody"],"subtype":7,"type":0,"id":"C"}	,
        { "id" : "X" , "type" : 8 , "name" : "X" , "related" : [ ] } ,{"id": "Y", "name": "", "type": 8, "folder": "\\X"}
    )";
    const plan scanned = read_plan(with_objects(R"({"id": "first", "type": 1},)" + objects));
    const plan parsed = read_plan(with_objects(R"({"id": "first", "type": 1, "type": 1},)" + objects));
    ASSERT_EQ(scanned.objects.size(), 6u);
    ASSERT_EQ(parsed.objects.size(), 6u);
    EXPECT_EQ(scanned.folder_paths, parsed.folder_paths);
    for (std::size_t i = 0; i < scanned.objects.size(); ++i) {
        const plan_object& s = scanned.objects[i];
        const plan_object& p = parsed.objects[i];
        EXPECT_EQ(s.id, p.id) << i;
        EXPECT_EQ(s.name, p.name) << i;
        EXPECT_EQ(s.type, p.type) << i;
        EXPECT_EQ(s.subtype, p.subtype) << i;
        EXPECT_EQ(s.folder, p.folder) << i;
        const auto s_related = scanned.related_of(s), p_related = parsed.related_of(p);
        EXPECT_EQ(std::vector<std::uint32_t>(s_related.begin(), s_related.end()),
                  std::vector<std::uint32_t>(p_related.begin(), p_related.end()))
            << i;
    }
    EXPECT_EQ(scanned.objects[1].id, std::string("A\"\\/\b\f\n\r\tA\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\0", 20));
    EXPECT_EQ(scanned.objects[1].type, 2147483647);
    EXPECT_EQ(scanned.objects[2].type, -2147483647 - 1);
    EXPECT_EQ(scanned.folder_of(scanned.objects[3]), "\\X\\Y");
    EXPECT_EQ(scanned.related_of(scanned.objects[3]).size(), 2u);
}

// Whatever the scanner does not know, in any element, gets the parser's message.
TEST(PlanReader, LeavesEveryOtherElementToTheParser)
{
    const std::string a = R"({"id": "A", "type": 1}, {"id": "B", "type": 2},)"
                          "\n";
    const std::vector<std::pair<std::string, std::string>> cases{
        {with_objects(a + R"({"id": "A", "type": 3})"), R"(objects[2].id: "A" is already the id of objects[0])"},
        {with_objects(a + "{\"id\": \"C\xC3\", \"type\": 3}"), "malformed JSON: ill-formed UTF-8 at byte 70"},
        {with_objects(a + "{\"id\": \"C\", \"name\": \"x\xE0\x80\xAF\", \"type\": 3}"),
         "malformed JSON: ill-formed UTF-8 at byte 83"},
        {with_objects(a + "{\"id\": \"C\", \"name\": \"x\xF4\x90\x80\x80\", \"type\": 3}"),
         "malformed JSON: ill-formed UTF-8 at byte 83"},
        {with_objects(a + "{\"id\": \"C\", \"name\": \"x\xED\xBF\xBF\", \"type\": 3}"),
         "malformed JSON: ill-formed UTF-8 at byte 83"},
        {with_objects(a + "{\"id\": \"C\", \"name\": \"tab\there\", \"type\": 3}"),
         "malformed JSON: Invalid escape character in string at byte 85"},
        {with_objects(a + R"({"id": "C", "name": "\ud800\u0041", "type": 3})"),
         "malformed JSON: The surrogate pair in string is invalid at byte 82"},
        {with_objects(a + R"({"id": "C", "name": "\ude00", "type": 3})"),
         R"(malformed JSON: ill-formed UTF-8 (a lone surrogate in a \u escape))"},
        {with_objects(a + R"({"id": "C", "type": 01})"),
         "malformed JSON: Missing a comma or '}' after an object member at byte 82"},
        {with_objects(a + R"({"id": "C", "type": 12345678901})"),
         "objects[2].type: expected a 32-bit integer, got 12345678901"},
        {with_objects(a + R"({"id": "C", "type": 3,})"), "malformed JSON: Missing a name for object member at byte 83"},
        {with_objects(a + R"({"id": "C", "type": 3},)"), "malformed JSON: Invalid value at byte 84"},
        {with_objects(R"({"id": "A", "type": 1} {"id": "C", "type": 3})"),
         "malformed JSON: Missing a comma or ']' after an array element at byte 36"},
        {R"({"objects": [{"id": "A", "type": 1}, {"id": "B", "type": 2})",
         "malformed JSON: Missing a comma or ']' after an array element at byte 59"},
        {with_objects(a + R"({"id": "C", "type": 3, "related": ["A",]})"), "malformed JSON: Invalid value at byte 100"},
        {with_objects(a + R"({"id": "C", "type": 3, "": 1})"), R"(objects[2]: unknown field "")"},
        {with_objects(a + R"({"id": "C", "type": 3}, {})"), R"(objects[3]: missing field "id")"},
        {with_objects(a + R"({"id": "C", "type": 3}, [])"), "objects[3]: expected an object, got []"},
    };
    for (const auto& [text, message] : cases)
        EXPECT_EQ(error_of(text), message) << text;
    // Read again through the parser's events, a plan does not count its objects from 0 again.
    std::string objects;
    for (int i = 0; i < 70000; ++i)
        objects += "{\"id\":\"" + std::to_string(i) + "\",\"type\":1},";
    std::vector<std::size_t> seen;
    const plan p = read_plan(with_objects(objects + R"({"id": "last", "type": 1, "type": 2})"),
                             [&](std::size_t n) { seen.push_back(n); });
    EXPECT_EQ(p.objects.back().type, 2);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 70001u);
    for (std::size_t i = 1; i < seen.size(); ++i)
        EXPECT_LT(seen[i - 1], seen[i]);
}

} // namespace
} // namespace planner
