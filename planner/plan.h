#pragma once
// A merge plan as the planner reads it: the host's metadata inventory, the rules,
// options and log settings to give the component, and the objects to resolve.
// Texts are UTF-8; they are widened only where they cross into COM.

#include "merge_option.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace planner {

inline constexpr std::int32_t folder_type = 8;

struct plan_object {
    std::string id;
    std::string name;
    std::int32_t type = 0;
    std::int32_t subtype = 0;
    std::uint32_t folder = 0;           // index into plan::folder_paths; 0 is the top level
    std::vector<std::uint32_t> related; // object indexes, in the plan's order
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

struct plan {
    std::string description;
    std::vector<plan_object> objects;
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
    // A folder's full path: its containing folder's path, "\" and its name.
    std::string full_path(const plan_object& object) const { return folder_of(object) + "\\" + object.name; }
};

} // namespace planner
