#include "reports.h"

#include <nlohmann/json.hpp>

namespace planner {

namespace {

using json = nlohmann::ordered_json;

// The top-level object, one member after the other; array elements one a line,
// written as they come.
class document {
public:
    explicit document(std::FILE* out) : out_(out) { write("{"); }
    ~document() { write("\n}\n"); }

    void value(std::string_view key, const json& value)
    {
        start(key);
        write(value.dump(-1, ' ', false, replace));
    }

    template <class Range, class Element> void array(std::string_view key, const Range& range, Element element)
    {
        start(key);
        write("[");
        bool first = true;
        for (const auto& item : range) {
            write(first ? "\n    " : ",\n    ");
            write(element(item).dump(-1, ' ', false, replace));
            first = false;
        }
        write(first ? "]" : "\n  ]");
    }

private:
    static constexpr auto replace = json::error_handler_t::replace;

    void start(std::string_view key)
    {
        write(members_++ ? ",\n  " : "\n  ");
        write(json(std::string(key)).dump(-1, ' ', false, replace) + ": ");
    }
    void write(const std::string& text) { std::fwrite(text.data(), 1, text.size(), out_); }

    std::FILE* out_;
    std::size_t members_ = 0;
};

json folders_of(const plan& plan, const folder_expansion& expansion)
{
    json folders = json::object();
    folders["ran"] = expansion.ran;
    if (expansion.failure) folders["failure"] = *expansion.failure;
    json processed = json::array();
    for (std::uint32_t folder : expansion.processed)
        processed.push_back(plan.full_path(plan.objects[folder]));
    folders["processed"] = std::move(processed);
    json nothing = json::array();
    for (std::size_t rule : expansion.found_nothing)
        nothing.push_back(plan.folder_rules[rule].path);
    folders["foundNothing"] = std::move(nothing);
    folders["sortLevels"] = expansion.sort_levels;
    folders["sortSettled"] = !expansion.sort_bound_reached;
    return folders;
}

} // namespace

void write_json_report(std::FILE* out, const plan& plan, const outcome& outcome)
{
    const std::vector<rule_usage> rules = rule_usages(plan, outcome);
    document doc(out);
    doc.value("description", plan.description);
    doc.array("errors", outcome.refusals, [](const refusal& refusal) {
        return json{{"kind", refusal.kind},
                    {"index", refusal.index},
                    {"code", refusal.code},
                    {"source", refusal.source},
                    {"message", refusal.message}};
    });
    doc.array("objectRules", outcome.object_rules, [](const held_object_rule& rule) {
        return json{{"id", rule.id}, {"type", rule.type}, {"action", rule.action}};
    });
    std::size_t at = 0;
    std::size_t next_failure = 0;
    doc.array("actions", outcome.lookups, [&](const lookup_result& lookup) {
        json entry{{"id", plan.objects[lookup.object].id}};
        if (lookup.reason != reason_kind::failed) {
            entry["action"] = lookup.action;
            entry["reason"] = reason_text(plan, lookup);
        } else {
            entry["action"] = nullptr;
            while (next_failure < outcome.lookup_failures.size() && outcome.lookup_failures[next_failure].lookup < at)
                ++next_failure;
            const bool known =
                next_failure < outcome.lookup_failures.size() && outcome.lookup_failures[next_failure].lookup == at;
            entry["error"] = known ? outcome.lookup_failures[next_failure].message : std::string("FindAction failed");
        }
        ++at;
        return entry;
    });
    doc.array("rules", rules, [](const rule_usage& usage) {
        return json{{"kind", usage.rule.kind},  {"index", usage.rule.index},
                    {"decided", usage.decided}, {"status", status_name(usage.status)},
                    {"why", usage.why},         {"didYouMean", usage.did_you_mean}};
    });
    json options = json::object();
    for (const auto& [option, value] : outcome.options)
        options[std::string(info_of(option).name)] = value;
    doc.value("options", options);
    doc.array("logs", outcome.logs, [](const log_setting& log) {
        return json{{"file", log.file}, {"level", log.level}};
    });
    doc.value("folders", folders_of(plan, outcome.expansion));
    doc.value("failures", outcome.component_failures);
}

} // namespace planner
