#include "reports.h"

#include "rule_usage.h"

#include <array>

namespace planner {

namespace {

// A field as RFC 4180 writes it: quoted, with quotes doubled, when it holds a
// quote, a comma or a line break.
std::string csv_field(std::string_view text)
{
    if (text.find_first_of("\",\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

template <std::size_t N> void write_row(std::FILE* out, const std::array<std::string, N>& fields)
{
    std::string row;
    for (std::size_t i = 0; i < N; ++i) {
        if (i > 0) row += ',';
        row += csv_field(fields[i]);
    }
    row += "\r\n";
    std::fwrite(row.data(), 1, row.size(), out);
}

std::string failure_message(const outcome& outcome, std::size_t lookup)
{
    for (const lookup_failure& failure : outcome.lookup_failures)
        if (failure.lookup == lookup) return "FindAction failed: " + failure.message;
    return "FindAction failed";
}

} // namespace

void write_csv_report(std::FILE* out, const plan& plan, const outcome& outcome)
{
    write_row<11>(out, {"id", "name", "type", "subtype", "folder", "action", "actionName", "reasonKind", "ruleKind",
                        "ruleIndex", "reason"});
    const rule_attribution attribution(plan, outcome);
    std::vector<bool> written(plan.objects.size(), false);
    for (std::size_t at = 0; at < outcome.lookups.size(); ++at) {
        const lookup_result& lookup = outcome.lookups[at];
        if (written[lookup.object]) continue;
        written[lookup.object] = true;
        const plan_object& object = plan.objects[lookup.object];
        const bool answered = lookup.reason != reason_kind::failed;
        const auto name = plan.action_names.find(lookup.action);
        const auto rule = attribution.decider(lookup);
        write_row<11>(out,
                      {std::string(object.id), std::string(object.name), std::to_string(object.type),
                       std::to_string(object.subtype), plan.folder_of(object),
                       answered ? std::to_string(lookup.action) : std::string(),
                       answered && name != plan.action_names.end() ? name->second : std::string(),
                       std::string(reason_kind_name(lookup.reason)), rule ? std::string(rule->kind) : std::string(),
                       rule ? std::to_string(rule->index) : std::string(),
                       answered ? reason_text(plan, lookup) : failure_message(outcome, at)});
    }
}

} // namespace planner
