#include "observed_expansion.h"

#include "text_encoding.h"
#include "trace_text.h"

#include <unordered_set>

namespace planner {

namespace {

// The item id in "HostFolder._NewEnum(F2)".
std::optional<std::wstring_view> enumerated_folder(std::wstring_view call)
{
    constexpr std::wstring_view head = L"HostFolder._NewEnum(";
    if (!call.starts_with(head) || !call.ends_with(L")")) return std::nullopt;
    return call.substr(head.size(), call.size() - head.size() - 1);
}

} // namespace

void read_expansion(const plan& plan, const std::vector<bool>& folder_rule_accepted,
                    const std::vector<std::wstring>& calls, const sort_trace& sort, folder_expansion& expansion)
{
    std::unordered_map<std::wstring, std::uint32_t> folders;
    for (std::uint32_t i = 0; i < plan.objects.size(); ++i)
        if (plan.objects[i].type == folder_type) folders.emplace(widen(plan.objects[i].id), i);

    std::unordered_set<std::uint32_t> processed;
    for (const std::wstring& call : calls) {
        const auto id = enumerated_folder(call);
        if (!id) continue;
        const auto folder = folders.find(std::wstring(*id));
        if (folder != folders.end() && processed.insert(folder->second).second)
            expansion.processed.push_back(folder->second);
    }

    std::unordered_set<std::string> processed_paths;
    for (std::uint32_t folder : expansion.processed)
        processed_paths.insert(plan.full_path(plan.objects[folder]));
    for (std::size_t i = 0; i < plan.folder_rules.size(); ++i)
        if (folder_rule_accepted[i] && !processed_paths.contains(plan.folder_rules[i].path))
            expansion.found_nothing.push_back(i);

    // The first level is the list of folders found; the sort appends the rest.
    const std::size_t levels = sort.levels_added();
    expansion.sort_levels = levels > 0 ? levels - 1 : 0;
    expansion.sort_bound_reached = expansion.ran && sort.stopped();
}

folder_attribution::folder_attribution(const plan& plan, const folder_expansion& expansion)
    : plan_(plan), rank_of_contents_(plan.folder_paths.size(), none), processed_(expansion.processed)
{
    std::unordered_map<std::string, std::uint32_t> paths;
    for (std::uint32_t i = 1; i < plan.folder_paths.size(); ++i)
        paths.emplace(plan.folder_paths[i], i);
    for (std::uint32_t rank = 0; rank < expansion.processed.size(); ++rank) {
        const std::uint32_t folder = expansion.processed[rank];
        rank_of_folder_.emplace(folder, rank);
        const auto contents = paths.find(plan.full_path(plan.objects[folder]));
        if (contents != paths.end()) rank_of_contents_[contents->second] = rank;
    }
}

std::optional<std::uint32_t> folder_attribution::folder_of(std::uint32_t object) const
{
    std::uint32_t rank = rank_of_contents_[plan_.objects[object].folder];
    if (const auto self = rank_of_folder_.find(object); self != rank_of_folder_.end() && self->second < rank)
        rank = self->second;
    if (rank == none) return std::nullopt;
    return processed_[rank];
}

} // namespace planner
