#pragma once
// The host objects a collection holds, shared with its enumerators.

#include "host_object.h"

#include <com/com_ptr.h>

#include <memory>
#include <vector>

namespace simhost {

using object_list = std::vector<com::com_ptr<host_object>>;
using shared_object_list = std::shared_ptr<const object_list>;

} // namespace simhost
