#pragma once
// The metadata repository: the host objects tests create, kept alive until
// ClearObjects, one COM object per ID.

#include "host_object.h"
#include "object_list.h"

#include <com/com_ptr.h>

#include <string>
#include <string_view>
#include <vector>

namespace simhost {

// Adds an object, or returns the one already under that ID unchanged.
com::com_ptr<host_object> add_object(std::wstring id, long type_code, long subtype_code, std::wstring full_path);

// The object with that ID; throws com_error (E_INVALIDARG) when there is none.
com::com_ptr<host_object> find_object(std::wstring_view id);

// Appends `to_id` to the related objects of `from_id`; both must exist.
void relate(std::wstring_view from_id, std::wstring_view to_id);

// Makes `item_id` a direct content of the folder `folder_id`; both must exist.
void place_in_folder(std::wstring_view folder_id, std::wstring_view item_id);

// The objects with these IDs, in that order; IDs no longer present are skipped.
object_list resolve_objects(const std::vector<std::wstring>& ids);

void clear_objects() noexcept;

} // namespace simhost
