#pragma once
// The metadata repository: the host objects and sessions tests create, kept
// alive until ClearObjects, one COM object per ID. Items are indexed by ID, by
// the path of their folder and by name, so that adding one costs the same in a
// repository of a million items as in an empty one.

#include "host_object.h"
#include "host_session.h"
#include "object_list.h"

#include <com/com_ptr.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace simhost {

// Adds an object, or returns the one already under that ID unchanged.
com::com_ptr<host_object> add_object(std::wstring id, long type_code, long subtype_code, std::wstring full_path);

struct new_item {
    std::wstring_view id;
    std::wstring_view name;
    long type_code;
    long subtype_code;
    std::wstring_view parent_path;
};

// Adds an item to the contents of the folder with its parent path; throws
// com_error (E_INVALIDARG) when the ID is present.
com::com_ptr<host_object> add_item(const new_item& item);

struct added_items {
    std::size_t count;
    std::optional<std::wstring> problem; // why the row after the added ones was refused
};

// Adds rows 0 to count - 1 of `row` in order, under one lock; stops at the first
// row whose ID is present (or repeats one of an earlier row).
added_items add_items(std::size_t count, const std::function<new_item(std::size_t)>& row);

// The object with that ID; throws com_error (E_INVALIDARG) when there is none.
com::com_ptr<host_object> find_object(std::wstring_view id);

// Appends `to_id` to the related objects of `from_id`; both must exist.
void relate(std::wstring_view from_id, std::wstring_view to_id);

// The related objects of `object` that are present, in the order they were related.
object_list related_objects(host_object& object);

// The direct contents of the folder with that full path, in the order added.
object_list contents_of(std::wstring_view folder_path);

// The items of one of those types whose name is exactly `name`, in the order added.
object_list find_by_name(std::wstring_view name, const std::vector<long>& types);

// Keeps a session until ClearObjects.
void keep_session(com::com_ptr<host_session> session);

// Forgets every object, folder and session.
void clear_objects() noexcept;

} // namespace simhost
