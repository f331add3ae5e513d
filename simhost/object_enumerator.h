#pragma once
// An IEnumVARIANT over host objects, each delivered as VT_DISPATCH (HostObject2).
// `next` is the operation its Next counts.

#include "object_list.h"
#include "operations.h"

#include <com/com_ptr.h>

#include <oaidl.h>

namespace simhost {

com::com_ptr<IEnumVARIANT> make_object_enumerator(shared_object_list objects, operation next);

} // namespace simhost
