#include "rule_usage.h"

#include "text_encoding.h"

#include <windows.h>

#include <algorithm>
#include <unordered_set>

namespace planner {

namespace {

constexpr std::string_view category_kind = "category";
constexpr std::string_view type_kind = "type";
constexpr std::string_view object_kind = "object";
constexpr std::string_view folder_kind = "folder";

std::string objects(std::size_t count) { return std::to_string(count) + (count == 1 ? " object" : " objects"); }

// What decided the objects a rule could have decided, when it decided none.
class decided_instead {
public:
    void add(const std::optional<rule_ref>& rule, reason_kind reason)
    {
        ++resolved_;
        if (rule) {
            auto at =
                std::find_if(rules_.begin(), rules_.end(), [&](const auto& entry) { return entry.first == *rule; });
            if (at == rules_.end()) at = rules_.insert(rules_.end(), {*rule, 0});
            ++at->second;
        } else if (reason == reason_kind::failed) {
            ++failed_;
        } else {
            ++defaults_;
        }
    }

    std::string why(const plan& plan, std::size_t candidates) const
    {
        if (resolved_ == 0)
            return candidates == 1 ? "the one object it applies to was not resolved"
                                   : "none of the " + objects(candidates) + " it applies to was resolved";
        std::string text = resolved_ < candidates ? std::to_string(resolved_) + " resolved of the " +
                                                        objects(candidates) + " it applies to were"
                           : candidates == 1 ? std::string("the object it applies to was")
                                             : "all " + objects(candidates) + " it applies to were";
        const std::size_t deciders = rules_.size() + (defaults_ > 0 ? 1 : 0) + (failed_ > 0 ? 1 : 0);
        text += deciders == 1 ? " decided by a rule that comes first: " : " decided by rules that come first: ";
        std::string list;
        for (const auto& [rule, count] : rules_)
            list += (list.empty() ? "" : ", ") + rule_label(plan, rule) + " took " + std::to_string(count);
        if (defaults_ > 0)
            list += (list.empty() ? "" : ", ") + std::string("a default took ") + std::to_string(defaults_);
        if (failed_ > 0)
            list += (list.empty() ? "" : ", ") + std::string("FindAction failed for ") + std::to_string(failed_);
        return text + list;
    }

private:
    std::vector<std::pair<rule_ref, std::size_t>> rules_; // in the order first met
    std::size_t resolved_ = 0;
    std::size_t defaults_ = 0;
    std::size_t failed_ = 0;
};

// The rules' view of the objects: each object's first answer and, built only
// when a rule that decided nothing needs them, the objects by code and folder.
class inventory {
public:
    inventory(const plan& plan, const outcome& outcome, const rule_attribution& attribution)
        : plan_(plan), outcome_(outcome), attribution_(attribution), first_(plan.objects.size(), nullptr)
    {
        for (const lookup_result& lookup : outcome.lookups)
            if (!first_[lookup.object]) first_[lookup.object] = &lookup;
    }

    const lookup_result* answer(std::uint32_t object) const { return first_[object]; }

    std::string explain(const std::vector<std::uint32_t>& candidates) const
    {
        decided_instead instead;
        for (std::uint32_t object : candidates)
            if (const lookup_result* lookup = first_[object])
                instead.add(attribution_.decider(*lookup), lookup->reason);
        return instead.why(plan_, candidates.size());
    }

    const std::vector<std::uint32_t>& with_code(std::int32_t code)
    {
        if (by_code_.empty())
            for (std::uint32_t i = 0; i < plan_.objects.size(); ++i) {
                by_code_[plan_.objects[i].type].push_back(i);
                if (plan_.objects[i].subtype != plan_.objects[i].type) by_code_[plan_.objects[i].subtype].push_back(i);
            }
        return find(by_code_, code);
    }

    const std::vector<std::uint32_t>& in_category(std::int32_t category)
    {
        if (by_category_.empty())
            for (std::uint32_t i = 0; i < plan_.objects.size(); ++i)
                if (const auto known = outcome_.type_categories.find(plan_.objects[i].type);
                    known != outcome_.type_categories.end())
                    by_category_[known->second].push_back(i);
        return find(by_category_, category);
    }

    // The folder with that full path and the objects directly in it.
    std::vector<std::uint32_t> reached_by(const std::string& path)
    {
        if (folders_.empty())
            for (std::uint32_t i = 0; i < plan_.objects.size(); ++i) {
                folders_[plan_.folder_of(plan_.objects[i])].push_back(i);
                if (plan_.objects[i].type == folder_type) folders_[plan_.full_path(plan_.objects[i])].push_back(i);
            }
        const auto found = folders_.find(path);
        return found == folders_.end() ? std::vector<std::uint32_t>{} : found->second;
    }

    std::optional<std::uint32_t> object_with_id(const std::string& id)
    {
        if (ids_.empty())
            for (std::uint32_t i = 0; i < plan_.objects.size(); ++i)
                ids_.emplace(plan_.objects[i].id, i);
        const auto found = ids_.find(id);
        if (found == ids_.end()) return std::nullopt;
        return found->second;
    }

    std::vector<std::string> folders_like(const std::string& path)
    {
        if (loose_folders_.empty())
            for (const plan_object& object : plan_.objects)
                if (object.type == folder_type) {
                    std::string full = plan_.full_path(object);
                    loose_folders_[loose_path(full)].push_back(std::move(full));
                }
        std::vector<std::string> like;
        if (const auto found = loose_folders_.find(loose_path(path)); found != loose_folders_.end())
            for (const std::string& full : found->second)
                if (full != path) like.push_back(full);
        return like;
    }

private:
    using index = std::unordered_map<std::int32_t, std::vector<std::uint32_t>>;
    static const std::vector<std::uint32_t>& find(const index& in, std::int32_t code)
    {
        static const std::vector<std::uint32_t> none;
        const auto found = in.find(code);
        return found == in.end() ? none : found->second;
    }

    const plan& plan_;
    const outcome& outcome_;
    const rule_attribution& attribution_;
    std::vector<const lookup_result*> first_;
    index by_code_;
    index by_category_;
    std::unordered_map<std::string, std::vector<std::uint32_t>> folders_; // by path: the folder, then its contents
    std::unordered_map<std::string, std::uint32_t> ids_;
    std::unordered_map<std::string, std::vector<std::string>> loose_folders_;
};

std::string refusal_text(const refusal& refusal)
{
    std::string text = "error " + std::to_string(refusal.code);
    if (!refusal.source.empty()) text += " from " + refusal.source;
    if (!refusal.message.empty()) text += ": " + refusal.message;
    return text;
}

} // namespace

rule_attribution::rule_attribution(const plan& plan, const outcome& outcome) : plan_(plan)
{
    std::unordered_set<std::string> refusals;
    for (const refusal& refusal : outcome.refusals)
        refusals.insert(std::string(refusal.kind) + " " + std::to_string(refusal.index));
    const auto refused = [&](std::string_view kind, std::size_t index) {
        return refusals.contains(std::string(kind) + " " + std::to_string(index));
    };
    // A refused rule left the component holding an earlier one under the same
    // key; the first accepted rule for a key is the one it holds.
    for (std::size_t i = 0; i < plan.category_rules.size(); ++i)
        if (!refused(category_kind, i)) category_rules_.emplace(plan.category_rules[i].category, i);
    for (std::size_t i = 0; i < plan.type_rules.size(); ++i)
        if (!refused(type_kind, i)) type_rules_.emplace(plan.type_rules[i].type, i);
    for (std::size_t i = 0; i < plan.object_rules.size(); ++i)
        if (!refused(object_kind, i)) object_rules_.emplace(plan.object_rules[i].id, i);
    std::unordered_map<std::string, std::size_t> folder_paths;
    for (std::size_t i = 0; i < plan.folder_rules.size(); ++i)
        if (!refused(folder_kind, i)) folder_paths.emplace(plan.folder_rules[i].path, i);
    for (std::uint32_t folder : outcome.expansion.processed)
        if (const auto rule = folder_paths.find(plan.full_path(plan.objects[folder])); rule != folder_paths.end())
            folder_rules_.emplace(folder, rule->second);
}

std::optional<rule_ref> rule_attribution::decider(const lookup_result& lookup) const
{
    const auto in = [](const auto& rules, const auto& key, std::string_view kind) -> std::optional<rule_ref> {
        const auto rule = rules.find(key);
        if (rule == rules.end()) return std::nullopt;
        return rule_ref{kind, rule->second};
    };
    switch (lookup.reason) {
    case reason_kind::object_rule:
        return in(object_rules_, plan_.objects[lookup.object].id, object_kind);
    case reason_kind::folder_rule:
        return in(folder_rules_, static_cast<std::uint32_t>(lookup.code), folder_kind);
    case reason_kind::subtype_rule:
    case reason_kind::type_rule:
        return in(type_rules_, lookup.code, type_kind);
    case reason_kind::category_rule:
        return in(category_rules_, lookup.code, category_kind);
    case reason_kind::category_default:
    case reason_kind::failed:
        break;
    }
    return std::nullopt;
}

std::vector<rule_usage> rule_usages(const plan& plan, const outcome& outcome)
{
    const rule_attribution attribution(plan, outcome);
    inventory objects_of(plan, outcome, attribution);

    std::vector<rule_usage> usages;
    const auto add_kind = [&](std::string_view kind, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            rule_usage usage;
            usage.rule = {kind, i};
            usages.push_back(std::move(usage));
        }
    };
    add_kind(category_kind, plan.category_rules.size());
    add_kind(type_kind, plan.type_rules.size());
    add_kind(object_kind, plan.object_rules.size());
    add_kind(folder_kind, plan.folder_rules.size());
    const auto usage_of = [&](const rule_ref& rule) -> rule_usage& {
        std::size_t at = rule.index;
        if (rule.kind != category_kind) at += plan.category_rules.size();
        if (rule.kind == object_kind || rule.kind == folder_kind) at += plan.type_rules.size();
        if (rule.kind == folder_kind) at += plan.object_rules.size();
        return usages[at];
    };

    for (std::uint32_t object = 0; object < plan.objects.size(); ++object)
        if (const lookup_result* lookup = objects_of.answer(object))
            if (const auto rule = attribution.decider(*lookup)) ++usage_of(*rule).decided;
    for (const refusal& refusal : outcome.refusals) {
        const std::size_t listed = refusal.kind == category_kind ? plan.category_rules.size()
                                   : refusal.kind == type_kind   ? plan.type_rules.size()
                                   : refusal.kind == object_kind ? plan.object_rules.size()
                                   : refusal.kind == folder_kind ? plan.folder_rules.size()
                                                                 : 0;
        if (refusal.index >= listed) continue; // an option, a log setting, or no rule of this plan
        rule_usage& usage = usage_of({refusal.kind, refusal.index});
        usage.status = rule_status::refused;
        usage.why = refusal_text(refusal);
    }

    for (rule_usage& usage : usages) {
        if (usage.status == rule_status::refused) continue;
        if (usage.decided > 0) {
            usage.status = rule_status::decided;
            continue;
        }
        const std::size_t i = usage.rule.index;
        if (usage.rule.kind == category_kind) {
            const std::int32_t category = plan.category_rules[i].category;
            const auto& candidates = objects_of.in_category(category);
            usage.why = candidates.empty() ? "no object falls into category " + std::to_string(category)
                                           : objects_of.explain(candidates);
        } else if (usage.rule.kind == type_kind) {
            const std::int32_t type = plan.type_rules[i].type;
            const auto& candidates = objects_of.with_code(type);
            usage.why = candidates.empty() ? "no object has " + std::to_string(type) + " as its type or subtype"
                                           : objects_of.explain(candidates);
        } else if (usage.rule.kind == object_kind) {
            const object_rule& rule = plan.object_rules[i];
            const auto object = objects_of.object_with_id(rule.id);
            if (!object) {
                usage.why = "its id names no object of the inventory";
            } else if (const plan_object& target = plan.objects[*object];
                       rule.type != target.type && rule.type != target.subtype) {
                usage.why = "its type " + std::to_string(rule.type) + " is neither the type nor the subtype of " +
                            rule.id + ", so the store passes it over";
            } else {
                usage.why = objects_of.explain({*object});
            }
        } else {
            const folder_rule& rule = plan.folder_rules[i];
            if (!outcome.expansion.ran) {
                usage.why = "ProcessFolderRule failed";
            } else if (std::find(outcome.expansion.found_nothing.begin(), outcome.expansion.found_nothing.end(), i) !=
                       outcome.expansion.found_nothing.end()) {
                usage.why = "its path found no folder";
                usage.did_you_mean = objects_of.folders_like(rule.path);
            } else {
                usage.why = objects_of.explain(objects_of.reached_by(rule.path));
            }
        }
    }
    return usages;
}

std::string_view status_name(rule_status status) noexcept
{
    switch (status) {
    case rule_status::decided:
        return "decided";
    case rule_status::unused:
        return "unused";
    case rule_status::refused:
        break;
    }
    return "refused";
}

std::string rule_label(const plan& plan, const rule_ref& rule)
{
    const std::string head = std::string(rule.kind) + " rule " + std::to_string(rule.index) + " (";
    if (rule.kind == category_kind)
        return head + "category " + std::to_string(plan.category_rules[rule.index].category) + ")";
    if (rule.kind == type_kind) return head + "type " + std::to_string(plan.type_rules[rule.index].type) + ")";
    if (rule.kind == object_kind) return head + plan.object_rules[rule.index].id + ")";
    return head + plan.folder_rules[rule.index].path + ")";
}

std::string_view reason_kind_name(reason_kind kind) noexcept
{
    switch (kind) {
    case reason_kind::object_rule:
        return "object_rule";
    case reason_kind::folder_rule:
        return "folder_rule";
    case reason_kind::subtype_rule:
        return "subtype_rule";
    case reason_kind::type_rule:
        return "type_rule";
    case reason_kind::category_rule:
        return "category_rule";
    case reason_kind::category_default:
        return "category_default";
    case reason_kind::failed:
        break;
    }
    return "failed";
}

std::string loose_path(std::string_view path)
{
    std::wstring wide = widen(path);
    // Lower case as the system has it for every language, not only for ASCII.
    if (!wide.empty())
        ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, wide.data(), static_cast<int>(wide.size()), wide.data(),
                        static_cast<int>(wide.size()), nullptr, nullptr, 0);
    std::wstring key;
    std::size_t start = 0;
    while (start <= wide.size()) {
        std::size_t end = wide.find(L'\\', start);
        if (end == std::wstring::npos) end = wide.size();
        if (end > start) key += L'\\' + wide.substr(start, end - start);
        start = end + 1;
    }
    return narrow(key);
}

} // namespace planner
