#include "plan_reader.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <limits>
#include <set>
#include <unordered_map>

namespace planner {

namespace {

using json = nlohmann::ordered_json;
using event = json::parse_event_t;

// Deeper than any plan needs; it keeps a hostile document from costing much.
constexpr int max_depth = 64;
constexpr std::size_t progress_step = 65536;

[[noreturn]] void fail(const std::string& where, const std::string& what) { throw plan_error(where + ": " + what); }

std::string shown(const json& value)
{
    std::string text = value.dump(-1, ' ', false, json::error_handler_t::replace);
    if (text.size() > 40) text = text.substr(0, 37) + "...";
    return text;
}

std::string in_quotes(std::string_view text) { return shown(json(std::string(text))); }

std::int32_t to_int32(const json& value, const std::string& where)
{
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (number <= static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()))
            return static_cast<std::int32_t>(number);
    } else if (value.is_number_integer()) {
        const auto number = value.get<std::int64_t>();
        if (number >= std::numeric_limits<std::int32_t>::min() && number <= std::numeric_limits<std::int32_t>::max())
            return static_cast<std::int32_t>(number);
    }
    fail(where, "expected a 32-bit integer, got " + shown(value));
}

std::string to_text(const json& value, const std::string& where)
{
    if (!value.is_string()) fail(where, "expected a text, got " + shown(value));
    return value.get<std::string>();
}

std::int32_t decimal_key(const std::string& key, const std::string& where)
{
    std::int32_t number = 0;
    const char* end = key.data() + key.size();
    const auto [stop, error] = std::from_chars(key.data(), end, number);
    if (key.empty() || error != std::errc() || stop != end) fail(where, "expected a 32-bit integer in decimal");
    return number;
}

void expect_object(const json& value, const std::string& where)
{
    if (!value.is_object()) fail(where, "expected an object, got " + shown(value));
}

void expect_array(const json& value, const std::string& where)
{
    if (!value.is_array()) fail(where, "expected an array, got " + shown(value));
}

// An object with exactly the fields named, the required ones present.
class fields {
public:
    fields(const json& object, std::string where, std::initializer_list<std::string_view> known)
        : object_(object), where_(std::move(where))
    {
        expect_object(object_, where_);
        for (const auto& [key, value] : object_.items()) {
            bool listed = false;
            for (std::string_view name : known)
                listed = listed || name == key;
            if (!listed) fail(where_, "unknown field " + in_quotes(key));
        }
    }

    const json* find(std::string_view name) const
    {
        const auto it = object_.find(name);
        return it == object_.end() ? nullptr : &*it;
    }
    const json& require(std::string_view name) const
    {
        if (const json* value = find(name)) return *value;
        fail(where_, "missing field \"" + std::string(name) + "\"");
    }
    std::string at(std::string_view name) const { return where_ + "." + std::string(name); }

    std::int32_t integer(std::string_view name) const { return to_int32(require(name), at(name)); }
    std::int32_t integer_or(std::string_view name, std::int32_t otherwise) const
    {
        const json* value = find(name);
        return value ? to_int32(*value, at(name)) : otherwise;
    }
    std::string text(std::string_view name) const { return to_text(require(name), at(name)); }

private:
    const json& object_;
    std::string where_;
};

std::string indexed(std::string_view list, std::size_t index)
{
    return std::string(list) + "[" + std::to_string(index) + "]";
}

class reader {
public:
    explicit reader(const read_progress& progress) : progress_(progress) {}

    plan read(std::string_view text)
    {
        json root;
        try {
            root = json::parse(text.begin(), text.end(),
                               [this](int depth, event kind, json& value) { return on_event(depth, kind, value); });
        } catch (const json::parse_error& error) {
            // The parser quotes the bytes it read last, which need not be UTF-8.
            std::string message = error.what();
            for (char& c : message)
                if (static_cast<unsigned char>(c) >= 0x80) c = '?';
            throw plan_error("malformed JSON: " + message);
        } catch (const json::exception& error) {
            throw plan_error(std::string("unusable JSON: ") + error.what());
        }
        if (!root.is_object()) fail("plan", "expected a JSON object, got " + shown(root));
        fields top(root, "plan",
                   {"description", "objects", "categories", "rules", "options", "logs", "actionNames", "resolve"});
        if (const json* description = top.find("description")) plan_.description = to_text(*description, "description");
        expect_array(top.require("objects"), "objects");
        finish_objects();
        if (const json* categories = top.find("categories")) read_categories(*categories);
        if (const json* rules = top.find("rules")) read_rules(*rules);
        if (const json* options = top.find("options")) read_options(*options);
        if (const json* logs = top.find("logs")) read_logs(*logs);
        if (const json* names = top.find("actionNames")) read_action_names(*names);
        if (const json* resolve = top.find("resolve")) {
            expect_array(*resolve, "resolve");
            finish_resolve();
        } else {
            plan_.resolve.reserve(plan_.objects.size());
            for (std::uint32_t i = 0; i < plan_.objects.size(); ++i)
                plan_.resolve.push_back(i);
        }
        return std::move(plan_);
    }

private:
    // The elements of "objects" and "resolve" are taken out as they end, and
    // dropped from the document.
    bool on_event(int depth, event kind, const json& value)
    {
        if ((kind == event::object_start || kind == event::array_start) && depth >= max_depth)
            fail(in_objects_        ? indexed("objects", plan_.objects.size())
                 : top_key_.empty() ? "plan"
                                    : top_key_,
                 "nested deeper than " + std::to_string(max_depth) + " levels");
        if (depth == 1 && kind == event::key) {
            top_key_ = value.get<std::string>();
            if (!top_keys_.insert(top_key_).second) fail(top_key_, "given twice");
            return true;
        }
        if (depth == 1 && (kind == event::array_start || kind == event::array_end)) {
            const bool start = kind == event::array_start;
            in_objects_ = start && top_key_ == "objects";
            in_resolve_ = start && top_key_ == "resolve";
            return true;
        }
        if (depth != 2 || !(in_objects_ || in_resolve_)) return true;
        if (kind != event::object_end && kind != event::array_end && kind != event::value) return true;
        if (in_objects_)
            add_object(value);
        else
            resolve_ids_.push_back(to_text(value, indexed("resolve", resolve_ids_.size())));
        return false;
    }

    void add_object(const json& value)
    {
        const std::size_t index = plan_.objects.size();
        if (index >= std::numeric_limits<std::uint32_t>::max()) fail("objects", "too many objects");
        const fields object(value, indexed("objects", index), {"id", "name", "type", "subtype", "folder", "related"});
        plan_object result;
        result.id = object.text("id");
        if (result.id.empty()) fail(object.at("id"), "must not be empty");
        const json* name = object.find("name");
        result.name = name ? to_text(*name, object.at("name")) : result.id;
        result.type = object.integer("type");
        result.subtype = object.integer_or("subtype", 0);
        if (const json* folder = object.find("folder"))
            result.folder = intern_folder(to_text(*folder, object.at("folder")));
        if (const json* related = object.find("related")) {
            expect_array(*related, object.at("related"));
            std::vector<std::string> ids;
            for (std::size_t i = 0; i < related->size(); ++i)
                ids.push_back(to_text((*related)[i], indexed(object.at("related"), i)));
            if (!ids.empty()) related_ids_.emplace_back(static_cast<std::uint32_t>(index), std::move(ids));
        }
        const auto [known, added] = index_.try_emplace(result.id, static_cast<std::uint32_t>(index));
        if (!added)
            fail(object.at("id"), in_quotes(result.id) + " is already the id of " + indexed("objects", known->second));
        plan_.objects.push_back(std::move(result));
        if (progress_ && plan_.objects.size() % progress_step == 0) progress_(plan_.objects.size());
    }

    std::uint32_t intern_folder(std::string path)
    {
        if (path.empty()) return 0;
        const auto [entry, added] = folders_.try_emplace(path, static_cast<std::uint32_t>(plan_.folder_paths.size()));
        if (added) plan_.folder_paths.push_back(std::move(path));
        return entry->second;
    }

    void finish_objects()
    {
        if (progress_) progress_(plan_.objects.size());
        for (auto& [from, ids] : related_ids_) {
            for (const std::string& id : ids) {
                // Ids that name no object are skipped, as the host skips them.
                const auto to = index_.find(id);
                if (to != index_.end()) plan_.objects[from].related.push_back(to->second);
            }
        }
        related_ids_.clear();
        // A folder is found by its full path, so two folders must not share one.
        std::unordered_map<std::string, std::uint32_t> folder_paths;
        for (std::uint32_t i = 0; i < plan_.objects.size(); ++i) {
            const plan_object& object = plan_.objects[i];
            if (object.type != folder_type) continue;
            const auto [known, added] = folder_paths.try_emplace(plan_.full_path(object), i);
            if (!added)
                fail(indexed("objects", i), "a folder with the full path \"" + known->first + "\"" + " is already " +
                                                indexed("objects", known->second));
        }
    }

    void finish_resolve()
    {
        plan_.resolve.reserve(resolve_ids_.size());
        for (std::size_t i = 0; i < resolve_ids_.size(); ++i) {
            const auto object = index_.find(resolve_ids_[i]);
            if (object == index_.end()) fail(indexed("resolve", i), in_quotes(resolve_ids_[i]) + " names no object");
            plan_.resolve.push_back(object->second);
        }
        resolve_ids_.clear();
    }

    void read_categories(const json& categories)
    {
        expect_object(categories, "categories");
        for (const auto& [key, value] : categories.items()) {
            const std::string where = "categories[" + in_quotes(key) + "]";
            plan_.categories.emplace_back(decimal_key(key, where), to_int32(value, where));
        }
    }

    template <class Rule, class Read>
    void read_rule_list(const fields& rules, std::string_view kind, std::vector<Rule>& into, Read read)
    {
        const json* list = rules.find(kind);
        if (!list) return;
        expect_array(*list, rules.at(kind));
        for (std::size_t i = 0; i < list->size(); ++i)
            into.push_back(read((*list)[i], indexed(rules.at(kind), i)));
    }

    void read_rules(const json& value)
    {
        const fields rules(value, "rules", {"category", "type", "object", "folder"});
        read_rule_list(rules, "category", plan_.category_rules, [](const json& rule, const std::string& where) {
            const fields f(rule, where, {"category", "action"});
            return category_rule{f.integer("category"), f.integer("action")};
        });
        read_rule_list(rules, "type", plan_.type_rules, [](const json& rule, const std::string& where) {
            const fields f(rule, where, {"type", "action"});
            return type_rule{f.integer("type"), f.integer("action")};
        });
        read_rule_list(rules, "object", plan_.object_rules, [](const json& rule, const std::string& where) {
            const fields f(rule, where, {"id", "type", "action"});
            return object_rule{f.text("id"), f.integer("type"), f.integer("action")};
        });
        read_rule_list(rules, "folder", plan_.folder_rules, [](const json& rule, const std::string& where) {
            const fields f(rule, where, {"path", "action"});
            return folder_rule{f.text("path"), f.integer("action")};
        });
    }

    void read_options(const json& options)
    {
        expect_object(options, "options");
        for (const auto& [key, value] : options.items()) {
            const std::string where = "options." + key;
            const auto option = option_named(key);
            if (!option) fail(where, "no such merge option");
            plan_.options.push_back({*option, to_int32(value, where)});
        }
    }

    void read_logs(const json& logs)
    {
        expect_array(logs, "logs");
        for (std::size_t i = 0; i < logs.size(); ++i) {
            const fields f(logs[i], indexed("logs", i), {"file", "level"});
            plan_.logs.push_back({f.text("file"), f.integer_or("level", 0)});
        }
    }

    void read_action_names(const json& names)
    {
        expect_object(names, "actionNames");
        for (const auto& [key, value] : names.items()) {
            const std::string where = "actionNames[" + in_quotes(key) + "]";
            plan_.action_names[decimal_key(key, where)] = to_text(value, where);
        }
    }

    const read_progress& progress_;
    plan plan_;
    std::string top_key_;
    std::set<std::string> top_keys_;
    bool in_objects_ = false;
    bool in_resolve_ = false;
    std::unordered_map<std::string, std::uint32_t> index_;
    std::unordered_map<std::string, std::uint32_t> folders_;
    std::vector<std::pair<std::uint32_t, std::vector<std::string>>> related_ids_;
    std::vector<std::string> resolve_ids_;
};

} // namespace

plan read_plan(std::string_view text, const read_progress& progress) { return reader(progress).read(text); }

} // namespace planner
