#pragma once
// An IEnumVARIANT over host objects, each delivered as VT_DISPATCH (HostObject2).

#include "object_list.h"

#include <com/com_ptr.h>

#include <oaidl.h>

namespace simhost {

com::com_ptr<IEnumVARIANT> make_object_enumerator(shared_object_list objects);

} // namespace simhost
