#include "outcome.h"

namespace planner {

std::string reason_text(const plan& plan, const lookup_result& lookup)
{
    const std::string code = std::to_string(lookup.code);
    switch (lookup.reason) {
    case reason_kind::object_rule:
        return "object rule";
    case reason_kind::folder_rule:
        return "object rule from folder rule " + plan.full_path(plan.objects[static_cast<std::size_t>(lookup.code)]);
    case reason_kind::subtype_rule:
        return "type rule for subtype " + code;
    case reason_kind::type_rule:
        return "type rule for type " + code;
    case reason_kind::category_rule:
        return "category " + code + " rule";
    case reason_kind::category_default:
        return "default of category " + code;
    case reason_kind::failed:
        break;
    }
    return "FindAction failed";
}

} // namespace planner
