#include "reports.h"

namespace planner {

std::string action_label(const plan& plan, std::int32_t action)
{
    const auto name = plan.action_names.find(action);
    return std::to_string(action) + (name == plan.action_names.end() ? "" : " " + name->second);
}

std::string refusal_label(const plan& plan, const refusal& refusal)
{
    const std::string index = std::to_string(refusal.index);
    if (refusal.kind == "option")
        return "option " + index + " (" + std::string(info_of(plan.options[refusal.index].option).name) + ")";
    if (refusal.kind == "log") return "log setting " + index + " (\"" + plan.logs[refusal.index].file + "\")";
    return std::string(refusal.kind) + " rule " + index;
}

std::string unsettled_sort_text(const folder_expansion& expansion)
{
    if (!expansion.sort_bound_reached) return {};
    return "the folder relations never settle; the sort stopped after " + std::to_string(expansion.sort_levels) +
           (expansion.sort_levels == 1 ? " level" : " levels");
}

std::string rule_usage_text(const rule_usage& usage)
{
    switch (usage.status) {
    case rule_status::decided:
        return std::to_string(usage.decided) + (usage.decided == 1 ? " object" : " objects");
    case rule_status::refused:
        return "refused: " + usage.why;
    case rule_status::unused:
        break;
    }
    std::string text = "decided nothing: " + usage.why;
    for (std::size_t i = 0; i < usage.did_you_mean.size(); ++i)
        text += (i == 0 ? " (did you mean " : " or ") + usage.did_you_mean[i];
    return usage.did_you_mean.empty() ? text : text + "?)";
}

} // namespace planner
