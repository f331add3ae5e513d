#pragma once
// A folder of the metadata repository: a host object that also answers
// HostFolder. FolderObject is the object itself; its enumeration gives the
// folder's direct contents, in the order they were added.

#include "host_object.h"

#include <com/com_ptr.h>

namespace simhost {

com::com_ptr<host_object> make_host_folder(const item_description& item);

} // namespace simhost
