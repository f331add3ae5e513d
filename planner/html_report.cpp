#include "reports.h"

#include "html_template.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace planner {

namespace {

using json = nlohmann::json;

class writer {
public:
    explicit writer(std::FILE* out) : out_(out) {}
    void raw(std::string_view text) { std::fwrite(text.data(), 1, text.size(), out_); }
    // Text for an element's content or a quoted attribute.
    void text(std::string_view text)
    {
        std::size_t from = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char* entity = nullptr;
            switch (text[i]) {
            case '&':
                entity = "&amp;";
                break;
            case '<':
                entity = "&lt;";
                break;
            case '>':
                entity = "&gt;";
                break;
            case '"':
                entity = "&quot;";
                break;
            default:
                continue;
            }
            raw(text.substr(from, i - from));
            raw(entity);
            from = i + 1;
        }
        raw(text.substr(from));
    }
    // JSON inside a script element: "<" written as \u003c, so that no "</script>"
    // or "<!--" in a name ends or changes the element.
    void script_json(const json& value)
    {
        const std::string dumped = value.dump(-1, ' ', false, json::error_handler_t::replace);
        std::size_t from = 0;
        for (std::size_t at = dumped.find('<'); at != std::string::npos; at = dumped.find('<', from)) {
            raw(std::string_view(dumped).substr(from, at - from));
            raw("\\u003c");
            from = at + 1;
        }
        raw(std::string_view(dumped).substr(from));
    }
    void element(std::string_view tag, std::string_view content)
    {
        raw("<");
        raw(tag);
        raw(">");
        text(content);
        raw("</");
        raw(tag);
        raw(">");
    }

private:
    std::FILE* out_;
};

std::string plural(std::size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

struct action_count {
    std::int32_t action = 0;
    std::size_t count = 0;
    std::size_t colour = 0;
};

// Objects per action over every lookup, as the JSON report lists them; the
// colour is the action's place among them.
std::vector<action_count> count_actions(const outcome& outcome)
{
    std::map<std::int32_t, std::size_t> counts;
    for (const lookup_result& lookup : outcome.lookups)
        if (lookup.reason != reason_kind::failed) ++counts[lookup.action];
    std::vector<action_count> result;
    for (const auto& [action, count] : counts)
        result.push_back({action, count, result.size() % 10});
    return result;
}

void write_chart(writer& out, const plan& plan, const std::vector<action_count>& actions, std::size_t failed)
{
    out.raw("<h3>Objects per action</h3>\n");
    if (actions.empty()) {
        out.raw("<p class=\"none\">No object got an action.</p>\n");
    } else {
        std::size_t most = 1;
        for (const action_count& a : actions)
            most = std::max(most, a.count);
        constexpr int label_width = 160, bar_width = 420, row = 26;
        const std::size_t height = actions.size() * row + 6;
        out.raw("<svg class=\"chart\" id=\"action-chart\" role=\"img\" viewBox=\"0 0 " +
                std::to_string(label_width + bar_width + 80) + " " + std::to_string(height) + "\" width=\"" +
                std::to_string(label_width + bar_width + 80) + "\" height=\"" + std::to_string(height) +
                "\" aria-label=\"objects per action\">\n");
        int y = 4;
        for (const action_count& a : actions) {
            const auto width = std::max<std::size_t>(1, a.count * bar_width / most);
            const std::string label = action_label(plan, a.action);
            out.raw("<g class=\"bar c" + std::to_string(a.colour) + "\" data-action=\"" + std::to_string(a.action) +
                    "\" data-count=\"" + std::to_string(a.count) + "\"><title>");
            out.text(label + ": " + plural(a.count, "object", "objects"));
            out.raw("</title><text x=\"" + std::to_string(label_width - 8) + "\" y=\"" + std::to_string(y + 15) +
                    "\" text-anchor=\"end\">");
            out.text(label);
            out.raw("</text><rect x=\"" + std::to_string(label_width) + "\" y=\"" + std::to_string(y) + "\" width=\"" +
                    std::to_string(width) + "\" height=\"20\" rx=\"3\"/><text class=\"count\" x=\"" +
                    std::to_string(label_width + width + 6) + "\" y=\"" + std::to_string(y + 15) + "\">" +
                    std::to_string(a.count) + "</text></g>\n");
            y += row;
        }
        out.raw("</svg>\n");
    }
    if (failed > 0)
        out.raw("<p class=\"warning\">FindAction failed for " + plural(failed, "object", "objects") + ".</p>\n");
}

void write_refusals(writer& out, const plan& plan, const outcome& outcome)
{
    out.raw("<h3 id=\"refused\">Refused entries: " + std::to_string(outcome.refusals.size()) + "</h3>\n");
    if (outcome.refusals.empty()) {
        out.raw("<p class=\"none\">The component accepted every entry.</p>\n");
        return;
    }
    out.raw("<table class=\"refusals\"><thead><tr><th>Entry</th><th class=\"num\">Error</th><th>Source</th>"
            "<th>Message</th></tr></thead><tbody>\n");
    for (const refusal& refusal : outcome.refusals) {
        out.raw("<tr>");
        out.element("td", refusal_label(plan, refusal));
        out.raw("<td class=\"num\">" + std::to_string(refusal.code) + "</td>");
        out.element("td", refusal.source);
        out.element("td", refusal.message);
        out.raw("</tr>\n");
    }
    out.raw("</tbody></table>\n");
}

void write_folder_rules(writer& out, const plan& plan, const outcome& outcome)
{
    const folder_expansion& expansion = outcome.expansion;
    out.raw("<h3>Folder rules</h3>\n");
    if (expansion.failure) {
        out.raw("<p class=\"warning\">");
        out.text("ProcessFolderRule failed: " + *expansion.failure);
        out.raw("</p>\n");
    }
    if (!expansion.ran) return;
    if (expansion.processed.empty()) {
        out.raw("<p class=\"none\">No folder was processed.</p>\n");
    } else {
        out.raw("<p>Folders processed, in order:</p>\n<ol id=\"processed\">\n");
        for (std::uint32_t folder : expansion.processed)
            out.element("li", plan.full_path(plan.objects[folder]));
        out.raw("</ol>\n");
    }
    if (!expansion.found_nothing.empty()) {
        out.raw("<ul id=\"found-nothing\">\n");
        for (std::size_t rule : expansion.found_nothing)
            out.element("li", "folder rule " + std::to_string(rule) + " (" + plan.folder_rules[rule].path +
                                  ") found no folder");
        out.raw("</ul>\n");
    }
    // The sort's outcome, worded as the readable report words it.
    out.raw("<p id=\"sort\">");
    out.text("The folder sort appended " + plural(expansion.sort_levels, "level", "levels") + ".");
    out.raw("</p>\n");
    if (const std::string unsettled = unsettled_sort_text(expansion); !unsettled.empty()) {
        out.raw("<p class=\"warning\" id=\"unsettled\">");
        out.text(unsettled);
        out.raw("</p>\n");
    }
}

void write_options_and_logs(writer& out, const outcome& outcome)
{
    out.raw("<h3>Options, as read back</h3>\n<table class=\"options\"><tbody>\n");
    for (const auto& [option, value] : outcome.options) {
        out.raw("<tr>");
        out.element("td", info_of(option).name);
        out.raw("<td class=\"num\">" + std::to_string(value) + "</td></tr>\n");
    }
    out.raw("</tbody></table>\n<h3>Log settings, as iterated</h3>\n");
    if (outcome.logs.empty()) {
        out.raw("<p class=\"none\">None.</p>\n");
        return;
    }
    out.raw("<table class=\"logs\"><thead><tr><th>File</th><th class=\"num\">Level</th></tr></thead><tbody>\n");
    for (const log_setting& log : outcome.logs) {
        out.raw("<tr>");
        out.element("td", log.file);
        out.raw("<td class=\"num\">" + std::to_string(log.level) + "</td></tr>\n");
    }
    out.raw("</tbody></table>\n");
}

void write_summary(writer& out, const plan& plan, const outcome& outcome, const std::vector<action_count>& actions)
{
    out.raw("<header>\n<h1>Merge plan</h1>\n<p id=\"totals\">");
    out.text(plural(plan.objects.size(), "object", "objects") + ", " +
             plural(plan.category_rules.size() + plan.type_rules.size() + plan.object_rules.size() +
                        plan.folder_rules.size(),
                    "rule", "rules") +
             ", " + plural(plan.options.size(), "option", "options") + ", " +
             plural(plan.logs.size(), "log setting", "log settings"));
    out.raw("</p>\n");
    if (!plan.description.empty()) {
        out.raw("<p class=\"description\" id=\"description\">");
        out.text(plan.description);
        out.raw("</p>\n");
    }
    out.raw("</header>\n<section id=\"summary\">\n<h2>Summary</h2>\n");
    if (!outcome.component_failures.empty()) {
        out.raw("<h3 class=\"warning\">Component failures</h3>\n<ul>\n");
        for (const std::string& failure : outcome.component_failures)
            out.element("li", failure);
        out.raw("</ul>\n");
    }
    write_chart(out, plan, actions, outcome.lookup_failures.size());
    write_refusals(out, plan, outcome);
    write_folder_rules(out, plan, outcome);
    write_options_and_logs(out, outcome);
    out.raw("</section>\n");
}

// Every rule with what it decided, the rules that decided nothing first.
void write_rules(writer& out, const plan& plan, const outcome& outcome)
{
    std::vector<rule_usage> rules = rule_usages(plan, outcome);
    std::stable_partition(rules.begin(), rules.end(),
                          [](const rule_usage& usage) { return usage.status != rule_status::decided; });
    out.raw("<section id=\"rules\">\n<h2>Rules</h2>\n");
    if (rules.empty()) {
        out.raw("<p class=\"none\">The plan has no rules.</p>\n</section>\n");
        return;
    }
    out.raw("<p class=\"muted\">The rules that decided nothing come first, then the others in the order the "
            "component was given them.</p>\n<table class=\"rules\"><thead><tr><th>Rule</th><th>Status</th>"
            "<th class=\"num\">Objects</th><th>What it did</th></tr></thead><tbody>\n");
    for (const rule_usage& usage : rules) {
        out.raw("<tr data-kind=\"" + std::string(usage.rule.kind) + "\" data-index=\"" +
                std::to_string(usage.rule.index) + "\" data-decided=\"" + std::to_string(usage.decided) + "\"" +
                (usage.status == rule_status::decided ? "" : " class=\"idle\"") + ">");
        out.element("td", rule_label(plan, usage.rule));
        out.element("td", status_name(usage.status));
        out.raw("<td class=\"num\">" + std::to_string(usage.decided) + "</td>");
        out.element("td", rule_usage_text(usage));
        out.raw("</tr>\n");
    }
    out.raw("</tbody></table>\n</section>\n");
}

// The inventory for the page's script: the folder paths once each, the folder
// object that owns each path, and one short array per object.
void write_data(writer& out, const plan& plan, const outcome& outcome, const std::vector<action_count>& actions)
{
    json table = json::array();
    for (const action_count& a : actions)
        table.push_back(json::array({a.action, action_label(plan, a.action), a.count, a.colour}));
    out.raw("{\"actions\":");
    out.script_json(table);

    std::unordered_map<std::string_view, std::size_t> path_index;
    for (std::size_t i = 1; i < plan.folder_paths.size(); ++i)
        path_index.emplace(plan.folder_paths[i], i);
    std::vector<std::int64_t> owner(plan.folder_paths.size(), -1);
    for (std::size_t i = 0; i < plan.objects.size(); ++i) {
        if (plan.objects[i].type != folder_type) continue;
        const auto path = path_index.find(plan.full_path(plan.objects[i]));
        if (path != path_index.end()) owner[path->second] = static_cast<std::int64_t>(i);
    }
    out.raw(",\n\"paths\":");
    out.script_json(plan.folder_paths);
    out.raw(",\n\"owner\":");
    out.script_json(owner);

    // The first lookup of each object, as the readable report shows it.
    std::vector<const lookup_result*> first(plan.objects.size(), nullptr);
    for (const lookup_result& lookup : outcome.lookups)
        if (!first[lookup.object]) first[lookup.object] = &lookup;
    json failures = json::object();
    for (const lookup_failure& failure : outcome.lookup_failures) {
        const lookup_result& lookup = outcome.lookups[failure.lookup];
        if (first[lookup.object] == &lookup) failures[std::to_string(lookup.object)] = failure.message;
    }
    out.raw(",\n\"failures\":");
    out.script_json(failures);

    out.raw(",\n\"objects\":[");
    for (std::size_t i = 0; i < plan.objects.size(); ++i) {
        const plan_object& object = plan.objects[i];
        const lookup_result* lookup = first[i];
        // The reason kinds in reason_kind's order, then 7 for an object not resolved.
        const int reason = lookup ? static_cast<int>(lookup->reason) : 7;
        json action = nullptr;
        if (lookup && lookup->reason != reason_kind::failed) action = lookup->action;
        out.raw(i ? ",\n" : "\n");
        out.script_json(json::array({object.id, object.name, object.type, object.subtype, object.folder, action, reason,
                                     lookup ? lookup->code : 0}));
    }
    out.raw("]}");
}

} // namespace

void write_html_report(std::FILE* file, const plan& plan, const outcome& outcome)
{
    writer out(file);
    const std::vector<action_count> actions = count_actions(outcome);
    const std::string page = html_report_template();
    std::size_t from = 0;
    while (true) {
        const std::size_t start = page.find("@@", from);
        const std::size_t end = start == std::string::npos ? start : page.find("@@", start + 2);
        if (end == std::string::npos) break;
        out.raw(std::string_view(page).substr(from, start - from));
        const std::string_view name = std::string_view(page).substr(start + 2, end - start - 2);
        if (name == "title")
            out.text("Merge plan: " + plural(plan.objects.size(), "object", "objects"));
        else if (name == "summary")
            write_summary(out, plan, outcome, actions);
        else if (name == "data")
            write_data(out, plan, outcome, actions);
        else if (name == "rules")
            write_rules(out, plan, outcome);
        from = end + 2;
    }
    out.raw(std::string_view(page).substr(from));
}

} // namespace planner
