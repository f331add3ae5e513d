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

} // namespace planner
