#pragma once
// The calls that the folder-rule expansion makes on host objects and folders.

#include <K5TYPLIB.h>

#include "collection_members.h"

#include "com/com_ptr.h"

#include <string>
#include <string_view>

namespace host {

// The object's full path, names separated by "\".
std::wstring full_path_of(HostObject& object);

LONG type_code_of(HostObject& object);

// The host object as a folder; one that is not a folder fails (reported for `class_label`).
com::com_ptr<HostFolder> as_host_folder(HostObject& object, std::wstring_view class_label);

// The folder viewed as a host object.
com::com_ptr<HostObject> folder_object_of(HostFolder& folder);

// The folder's direct contents, in the host's order.
collection_members contents_of(HostFolder& folder, std::wstring_view class_label);

} // namespace host
