#include "reports.h"

#include <charconv>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace planner {

namespace {

// Lines are gathered and written in large blocks: a million objects make a
// million lines, and each call into the C library's stream costs a lock.
class writer {
public:
    explicit writer(std::FILE* out) : out_(out) { buffer_.reserve(block); }
    writer(const writer&) = delete;
    writer& operator=(const writer&) = delete;
    ~writer() { flush(); }

    void line(std::string_view text = {})
    {
        buffer_ += text;
        buffer_ += '\n';
        if (buffer_.size() >= block) flush();
    }
    void flush()
    {
        std::fwrite(buffer_.data(), 1, buffer_.size(), out_);
        buffer_.clear();
    }

private:
    static constexpr std::size_t block = 1 << 16;
    std::FILE* out_;
    std::string buffer_;
};

void append_number(std::string& text, long long number)
{
    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, number);
    text.append(digits, end);
}

// An object's action and reason texts, made once for each action and reason:
// many objects share them.
class lookup_labels {
public:
    explicit lookup_labels(const plan& plan) : plan_(plan) {}

    const std::string& action(std::int32_t action)
    {
        auto [known, added] = actions_.try_emplace(action);
        if (added) known->second = action_label(plan_, action);
        return known->second;
    }
    const std::string& reason(const lookup_result& lookup)
    {
        auto [known, added] = reasons_.try_emplace({static_cast<int>(lookup.reason), lookup.code});
        if (added) known->second = reason_text(plan_, lookup);
        return known->second;
    }

private:
    const plan& plan_;
    std::unordered_map<std::int32_t, std::string> actions_;
    std::map<std::pair<int, std::int32_t>, std::string> reasons_;
};

std::string plural(std::size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The objects as the host holds them: each folder's direct contents in plan
// order, under the folder whose full path they name.
class folder_tree {
public:
    explicit folder_tree(const plan& plan) : plan_(plan), first_(plan.folder_paths.size() + 1, 0)
    {
        for (const plan_object& object : plan.objects)
            ++first_[object.folder + 1];
        for (std::size_t i = 1; i < first_.size(); ++i)
            first_[i] += first_[i - 1];
        contents_.resize(plan.objects.size());
        std::vector<std::uint32_t> next(first_.begin(), first_.end() - 1);
        for (std::uint32_t i = 0; i < plan.objects.size(); ++i)
            contents_[next[plan.objects[i].folder]++] = i;

        std::unordered_map<std::string, std::uint32_t> paths;
        for (std::uint32_t i = 1; i < plan.folder_paths.size(); ++i)
            paths.emplace(plan.folder_paths[i], i);
        owned_.assign(plan.folder_paths.size(), false);
        contents_of_.assign(plan.objects.size(), 0);
        for (std::uint32_t i = 0; i < plan.objects.size(); ++i) {
            if (plan.objects[i].type != folder_type) continue;
            const auto path = paths.find(plan.full_path(plan.objects[i]));
            if (path == paths.end()) continue;
            contents_of_[i] = path->second;
            owned_[path->second] = true;
        }
    }

    // Calls visit(object, depth) in tree order; contents of a path that is no
    // folder of the plan stand at the top, after the top level's own objects.
    template <class Visit> void walk(Visit visit) const
    {
        for (std::uint32_t path = 0; path < plan_.folder_paths.size(); ++path)
            if (path == 0 || !owned_[path]) walk_from(path, visit);
    }

    bool orphan(std::uint32_t object) const
    {
        const std::uint32_t path = plan_.objects[object].folder;
        return path != 0 && !owned_[path];
    }

private:
    template <class Visit> void walk_from(std::uint32_t path, Visit& visit) const
    {
        // An explicit stack: a plan may nest folders deeper than a call stack goes.
        std::vector<std::pair<std::uint32_t, std::size_t>> stack;
        const auto push_contents = [&](std::uint32_t of, std::size_t depth) {
            for (std::uint32_t i = first_[of + 1]; i > first_[of]; --i)
                stack.emplace_back(contents_[i - 1], depth);
        };
        push_contents(path, 0);
        while (!stack.empty()) {
            const auto [object, depth] = stack.back();
            stack.pop_back();
            visit(object, depth);
            if (contents_of_[object] != 0) push_contents(contents_of_[object], depth + 1);
        }
    }

    const plan& plan_;
    std::vector<std::uint32_t> first_;    // per folder path: its contents' start in contents_
    std::vector<std::uint32_t> contents_; // objects grouped by folder path, in plan order
    std::vector<std::uint32_t> contents_of_;
    std::vector<bool> owned_;
};

void append_object_line(std::string& text, const plan& plan, const outcome& outcome, const folder_tree& tree,
                        lookup_labels& labels, std::uint32_t index, const lookup_result* lookup)
{
    const plan_object& object = plan.objects[index];
    text += object.name;
    text += " [";
    text += object.id;
    text += ']';
    if (tree.orphan(index)) {
        text += " in ";
        text += plan.folder_of(object);
    }
    text += " type ";
    append_number(text, object.type);
    if (object.subtype != 0) {
        text += " subtype ";
        append_number(text, object.subtype);
    }
    if (!lookup) {
        text += ": not resolved";
        return;
    }
    if (lookup->reason != reason_kind::failed) {
        text += ": ";
        text += labels.action(lookup->action);
        text += ", ";
        text += labels.reason(*lookup);
        return;
    }
    text += ": FindAction failed";
    const std::size_t at = static_cast<std::size_t>(lookup - outcome.lookups.data());
    for (const lookup_failure& failure : outcome.lookup_failures)
        if (failure.lookup == at) {
            text += ": ";
            text += failure.message;
            return;
        }
}

void write_objects(writer& out, const plan& plan, const outcome& outcome)
{
    std::vector<const lookup_result*> first_lookup(plan.objects.size(), nullptr);
    for (const lookup_result& lookup : outcome.lookups)
        if (!first_lookup[lookup.object]) first_lookup[lookup.object] = &lookup;
    const folder_tree tree(plan);
    lookup_labels labels(plan);
    out.line("Objects, each with its type, action and reason:");
    if (plan.objects.empty()) out.line("  (none)");
    std::string text; // one buffer for every line
    tree.walk([&](std::uint32_t object, std::size_t depth) {
        text.assign(2 + 2 * depth, ' ');
        append_object_line(text, plan, outcome, tree, labels, object, first_lookup[object]);
        out.line(text);
    });
}

void write_action_counts(writer& out, const plan& plan, const outcome& outcome)
{
    std::map<std::int32_t, std::size_t> counts;
    for (const lookup_result& lookup : outcome.lookups)
        if (lookup.reason != reason_kind::failed) ++counts[lookup.action];
    out.line();
    out.line("Actions:");
    if (counts.empty()) out.line("  (none)");
    for (const auto& [action, count] : counts)
        out.line("  " + action_label(plan, action) + ": " + plural(count, "object", "objects"));
}

void write_folder_expansion(writer& out, const plan& plan, const outcome& outcome)
{
    const folder_expansion& expansion = outcome.expansion;
    out.line();
    out.line("Folder rules:");
    if (expansion.failure) out.line("  ProcessFolderRule failed: " + *expansion.failure);
    if (!expansion.ran) return;
    std::string order;
    for (std::uint32_t folder : expansion.processed)
        order += (order.empty() ? "" : ", ") + plan.full_path(plan.objects[folder]);
    out.line("  folders processed, in order: " + (order.empty() ? std::string("none") : order));
    for (std::size_t rule : expansion.found_nothing)
        out.line("  folder rule " + std::to_string(rule) + " (" + plan.folder_rules[rule].path + ") found no folder");
    out.line("  the folder sort appended " + plural(expansion.sort_levels, "level", "levels"));
    if (const std::string unsettled = unsettled_sort_text(expansion); !unsettled.empty()) out.line("  " + unsettled);
}

void write_rule_usages(writer& out, const plan& plan, const std::vector<rule_usage>& rules)
{
    out.line();
    out.line("Rules, with the objects each decided:");
    if (rules.empty()) out.line("  (none)");
    for (const rule_usage& usage : rules)
        out.line("  " + rule_label(plan, usage.rule) + ": " + rule_usage_text(usage));
}

void write_refusals(writer& out, const plan& plan, const outcome& outcome)
{
    out.line();
    out.line("Refused entries: " + std::to_string(outcome.refusals.size()));
    for (const refusal& refusal : outcome.refusals) {
        std::string text = "  " + refusal_label(plan, refusal) + ": error " + std::to_string(refusal.code);
        if (!refusal.source.empty()) text += " from " + refusal.source;
        if (!refusal.message.empty()) text += ": " + refusal.message;
        out.line(text);
    }
}

void write_options_and_logs(writer& out, const outcome& outcome)
{
    out.line();
    out.line("Options, as read back:");
    for (const auto& [option, value] : outcome.options) {
        const std::string_view name = info_of(option).name;
        out.line("  " + std::string(name) + std::string(name.size() < 25 ? 25 - name.size() : 1, ' ') +
                 std::to_string(value));
    }
    out.line();
    out.line("Log settings, as iterated:");
    if (outcome.logs.empty()) out.line("  (none)");
    for (const log_setting& log : outcome.logs)
        out.line("  \"" + log.file + "\" level " + std::to_string(log.level));
}

} // namespace

void write_text_report(std::FILE* file, const plan& plan, const outcome& outcome)
{
    const std::vector<rule_usage> rules = rule_usages(plan, outcome);
    writer out(file);
    out.line("Merge plan: " + plural(plan.objects.size(), "object", "objects") + ", " +
             plural(plan.category_rules.size() + plan.type_rules.size() + plan.object_rules.size() +
                        plan.folder_rules.size(),
                    "rule", "rules") +
             ", " + plural(plan.options.size(), "option", "options") + ", " +
             plural(plan.logs.size(), "log setting", "log settings"));
    if (!plan.description.empty()) out.line("Description: " + plan.description);
    out.line();
    write_objects(out, plan, outcome);
    write_action_counts(out, plan, outcome);
    write_rule_usages(out, plan, rules);
    write_folder_expansion(out, plan, outcome);
    write_refusals(out, plan, outcome);
    write_options_and_logs(out, outcome);
    if (!outcome.component_failures.empty()) {
        out.line();
        out.line("Component failures:");
        for (const std::string& failure : outcome.component_failures)
            out.line("  " + failure);
    }
}

} // namespace planner
