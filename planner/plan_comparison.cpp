#include "plan_comparison.h"

#include "reports.h"

#include <nlohmann/json.hpp>

#include <map>
#include <unordered_map>

namespace planner {

namespace {

using json = nlohmann::ordered_json;

// Each object's first answer, by id.
std::unordered_map<std::string_view, compared_answer> answers_of(const plan& plan, const outcome& outcome)
{
    std::unordered_map<std::string_view, compared_answer> answers;
    for (std::size_t at = 0; at < outcome.lookups.size(); ++at) {
        const lookup_result& lookup = outcome.lookups[at];
        const std::string_view id = plan.objects[lookup.object].id;
        if (answers.contains(id)) continue;
        compared_answer answer{std::nullopt, "none", "FindAction failed"};
        if (lookup.reason != reason_kind::failed) {
            answer = {lookup.action, action_label(plan, lookup.action), reason_text(plan, lookup)};
        } else {
            for (const lookup_failure& failure : outcome.lookup_failures)
                if (failure.lookup == at) answer.reason += ": " + failure.message;
        }
        answers.emplace(id, std::move(answer));
    }
    return answers;
}

std::vector<compared_rule> rules_of(const plan& plan)
{
    std::vector<compared_rule> rules;
    for (const category_rule& rule : plan.category_rules)
        rules.push_back({"category", rule.category, {}, rule.action});
    for (const type_rule& rule : plan.type_rules)
        rules.push_back({"type", rule.type, {}, rule.action});
    for (const object_rule& rule : plan.object_rules)
        rules.push_back({"object", rule.type, rule.id, rule.action});
    for (const folder_rule& rule : plan.folder_rules)
        rules.push_back({"folder", 0, rule.path, rule.action});
    return rules;
}

// The rules of from that to lacks, each as often as it is missing there.
std::vector<compared_rule> missing(const std::vector<compared_rule>& from, const std::vector<compared_rule>& to)
{
    std::map<std::string, std::size_t> available;
    for (const compared_rule& rule : to)
        ++available[compared_rule_text(rule)];
    std::vector<compared_rule> result;
    for (const compared_rule& rule : from) {
        std::size_t& left = available[compared_rule_text(rule)];
        if (left > 0)
            --left;
        else
            result.push_back(rule);
    }
    return result;
}

json action_json(const std::optional<std::int32_t>& action) { return action ? json(*action) : json(nullptr); }

json rule_json(const compared_rule& rule)
{
    json entry{{"kind", rule.kind}};
    if (rule.kind == "category") entry["category"] = rule.code;
    if (rule.kind == "object") entry["id"] = rule.text;
    if (rule.kind == "type" || rule.kind == "object") entry["type"] = rule.code;
    if (rule.kind == "folder") entry["path"] = rule.text;
    entry["action"] = rule.action;
    return entry;
}

void line(std::FILE* out, const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), out);
    std::fputc('\n', out);
}

std::string move_label(const plan& plan, const std::optional<std::int32_t>& action)
{
    return action ? action_label(plan, *action) : std::string("none");
}

} // namespace

comparison compare_plans(const plan& before, const outcome& before_outcome, const plan& after,
                         const outcome& after_outcome)
{
    comparison result;
    const auto before_answers = answers_of(before, before_outcome);
    const auto after_answers = answers_of(after, after_outcome);
    std::unordered_map<std::string_view, std::size_t> before_ids;
    for (std::size_t i = 0; i < before.objects.size(); ++i)
        before_ids.emplace(before.objects[i].id, i);

    const compared_answer unresolved{std::nullopt, "none", "not resolved"};
    const auto answer_in = [&](const auto& answers, std::string_view id) {
        const auto found = answers.find(id);
        return found == answers.end() ? unresolved : found->second;
    };
    std::map<std::pair<std::optional<std::int32_t>, std::optional<std::int32_t>>, std::size_t> moves;
    std::unordered_map<std::string_view, bool> in_after;
    for (const plan_object& object : after.objects) {
        in_after.emplace(object.id, true);
        if (!before_ids.contains(object.id)) {
            result.only_after.emplace_back(object.id);
            continue;
        }
        compared_answer was = answer_in(before_answers, object.id);
        compared_answer is = answer_in(after_answers, object.id);
        if (was == is) continue;
        if (was.action != is.action) ++moves[{was.action, is.action}];
        result.changed.push_back({std::string(object.id), std::string(object.name), std::move(was), std::move(is)});
    }
    for (const plan_object& object : before.objects)
        if (!in_after.contains(object.id)) result.only_before.emplace_back(object.id);
    for (const auto& [actions, count] : moves)
        result.moves.push_back({actions.first, actions.second, count});

    const std::vector<compared_rule> before_rules = rules_of(before);
    const std::vector<compared_rule> after_rules = rules_of(after);
    result.rules_added = missing(after_rules, before_rules);
    result.rules_removed = missing(before_rules, after_rules);
    return result;
}

std::string compared_rule_text(const compared_rule& rule)
{
    std::string text = std::string(rule.kind) + " rule (";
    if (rule.kind == "category") text += "category " + std::to_string(rule.code);
    if (rule.kind == "type") text += "type " + std::to_string(rule.code);
    if (rule.kind == "object") text += rule.text + ", type " + std::to_string(rule.code);
    if (rule.kind == "folder") text += rule.text;
    return text + "): action " + std::to_string(rule.action);
}

void write_comparison_text(std::FILE* out, const plan& before, const plan& after, const comparison& comparison)
{
    line(out, "Comparing two merge plans");
    if (!before.description.empty()) line(out, "Before: " + before.description);
    if (!after.description.empty()) line(out, "After: " + after.description);
    if (!comparison.anything_changed()) {
        line(out, "");
        line(out, "Nothing changed.");
        return;
    }
    line(out, "");
    line(out, "Objects whose action or reason changed: " + std::to_string(comparison.changed.size()));
    for (const changed_object& change : comparison.changed) {
        line(out, "  " + change.name + " [" + change.id + "]");
        line(out, "    before: " + change.before.action_label + ", " + change.before.reason);
        line(out, "    after:  " + change.after.action_label + ", " + change.after.reason);
    }
    line(out, "");
    line(out, "Moves from one action to another:");
    if (comparison.moves.empty()) line(out, "  (none)");
    for (const action_move& move : comparison.moves)
        line(out, "  " + move_label(before, move.before) + " -> " + move_label(after, move.after) + ": " +
                      std::to_string(move.objects) + (move.objects == 1 ? " object" : " objects"));
    const auto list = [&](const char* title, const std::vector<std::string>& ids) {
        line(out, "");
        line(out, title + std::string(": ") + std::to_string(ids.size()));
        for (const std::string& id : ids)
            line(out, "  " + id);
    };
    list("Objects only in the plan before", comparison.only_before);
    list("Objects only in the plan after", comparison.only_after);
    const auto rules = [&](const char* title, const std::vector<compared_rule>& entries) {
        line(out, "");
        line(out, title + std::string(": ") + std::to_string(entries.size()));
        for (const compared_rule& rule : entries)
            line(out, "  " + compared_rule_text(rule));
    };
    rules("Rules added", comparison.rules_added);
    rules("Rules removed", comparison.rules_removed);
}

void write_comparison_json(std::FILE* out, const plan& before, const plan& after, const comparison& comparison)
{
    json document;
    document["descriptions"] = {{"before", before.description}, {"after", after.description}};
    json changed = json::array();
    for (const changed_object& change : comparison.changed)
        changed.push_back(
            {{"id", change.id},
             {"before", {{"action", action_json(change.before.action)}, {"reason", change.before.reason}}},
             {"after", {{"action", action_json(change.after.action)}, {"reason", change.after.reason}}}});
    document["changed"] = std::move(changed);
    json transitions = json::array();
    for (const action_move& move : comparison.moves)
        transitions.push_back(
            {{"before", action_json(move.before)}, {"after", action_json(move.after)}, {"objects", move.objects}});
    document["transitions"] = std::move(transitions);
    document["onlyBefore"] = comparison.only_before;
    document["onlyAfter"] = comparison.only_after;
    json added = json::array();
    for (const compared_rule& rule : comparison.rules_added)
        added.push_back(rule_json(rule));
    document["rulesAdded"] = std::move(added);
    json removed = json::array();
    for (const compared_rule& rule : comparison.rules_removed)
        removed.push_back(rule_json(rule));
    document["rulesRemoved"] = std::move(removed);
    // As the plan report writes JSON: a member a line, array elements one a line.
    constexpr auto replace = json::error_handler_t::replace;
    std::string text = "{";
    bool first_member = true;
    for (const auto& [key, value] : document.items()) {
        text += (first_member ? "\n  " : ",\n  ") + json(key).dump(-1, ' ', false, replace) + ": ";
        first_member = false;
        if (!value.is_array() || value.empty()) {
            text += value.dump(-1, ' ', false, replace);
            continue;
        }
        text += "[";
        for (std::size_t i = 0; i < value.size(); ++i)
            text += (i == 0 ? "\n    " : ",\n    ") + value[i].dump(-1, ' ', false, replace);
        text += "\n  ]";
    }
    text += "\n}\n";
    std::fwrite(text.data(), 1, text.size(), out);
}

} // namespace planner
