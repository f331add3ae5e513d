#pragma once
// A merge plan as the planner reads it: the host's metadata inventory, the rules,
// options and log settings to give the component, and the objects to resolve.
// Texts are UTF-8; they are widened only where they cross into COM.

#include "merge_option.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace planner {

inline constexpr std::int32_t folder_type = 8;

// The texts of a plan's objects, kept in large blocks: a million objects then
// cost a few hundred blocks instead of two heap blocks each. A kept text never
// moves, so views of it stay valid for the store's life, moves included.
class text_store {
public:
    text_store() = default;
    text_store(text_store&& other) noexcept { *this = std::move(other); }
    text_store& operator=(text_store&& other) noexcept
    {
        blocks_ = std::move(other.blocks_);
        next_ = std::exchange(other.next_, nullptr);
        left_ = std::exchange(other.left_, 0);
        block_ = std::exchange(other.block_, 2048);
        return *this;
    }

    std::string_view keep(std::string_view text)
    {
        if (text.empty()) return {};
        if (text.size() > left_) {
            // Blocks double up to 1 MB, so that a small plan takes little; a longer text gets a block of its size.
            block_ = std::min(block_ * 2, max_block);
            const std::size_t block = std::max(text.size(), block_);
            blocks_.push_back(std::make_unique_for_overwrite<char[]>(block));
            next_ = blocks_.back().get();
            left_ = block;
        }
        const std::string_view kept(next_, text.copy(next_, text.size()));
        next_ += text.size();
        left_ -= text.size();
        return kept;
    }

private:
    static constexpr std::size_t max_block = 1 << 20;
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* next_ = nullptr;
    std::size_t left_ = 0;
    std::size_t block_ = 2048; // the last block's size
};

struct plan_object {
    std::string_view id;   // in plan::texts
    std::string_view name; // in plan::texts
    std::int32_t type = 0;
    std::int32_t subtype = 0;
    std::uint32_t folder = 0;  // index into plan::folder_paths; 0 is the top level
    std::uint32_t related = 0; // 1 + index into plan::related_ranges; 0 is none
};

struct category_rule {
    std::int32_t category = 0;
    std::int32_t action = 0;
};

struct type_rule {
    std::int32_t type = 0;
    std::int32_t action = 0;
};

struct object_rule {
    std::string id;
    std::int32_t type = 0;
    std::int32_t action = 0;
};

struct folder_rule {
    std::string path;
    std::int32_t action = 0;
};

struct option_setting {
    merge_option option;
    std::int32_t value = 0;
};

struct log_setting {
    std::string file;
    std::int32_t level = 0;
};

// Move-only: the objects' texts are views into the plan's own storage.
struct plan {
    std::string description;
    std::vector<plan_object> objects;
    text_store texts;
    // The objects' related objects: the indexes of each, in the plan's order, in one list.
    std::vector<std::uint32_t> relations;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> related_ranges; // first, count
    // Paths of containing folders, each once; [0] is "" (the top level).
    std::vector<std::string> folder_paths{""};
    std::vector<std::pair<std::int32_t, std::int32_t>> categories; // type code, category code

    std::vector<category_rule> category_rules;
    std::vector<type_rule> type_rules;
    std::vector<object_rule> object_rules;
    std::vector<folder_rule> folder_rules;
    std::vector<option_setting> options;
    std::vector<log_setting> logs;

    std::map<std::int32_t, std::string> action_names;
    std::vector<std::uint32_t> resolve; // object indexes

    const std::string& folder_of(const plan_object& object) const { return folder_paths[object.folder]; }
    std::span<const std::uint32_t> related_of(const plan_object& object) const
    {
        if (object.related == 0) return {};
        const auto [first, count] = related_ranges[object.related - 1];
        return std::span<const std::uint32_t>(relations).subspan(first, count);
    }
    // A folder's full path: its containing folder's path, "\" and its name.
    std::string full_path(const plan_object& object) const
    {
        std::string path;
        path.reserve(folder_of(object).size() + 1 + object.name.size());
        return path.append(folder_of(object)).append(1, '\\').append(object.name);
    }
};

} // namespace planner
