#pragma once
// The collection HostObject.RelatedObjects returns: a plain IDispatch, as the host
// hands out, whose member DISPID_NEWENUM ("_NewEnum") gives an IEnumVARIANT over
// the objects. "Count" and "Item" (from 1) are there for scripts.

#include "object_list.h"

#include <com/com_ptr.h>

#include <oaidl.h>

namespace simhost {

com::com_ptr<IDispatch> make_object_collection(object_list objects);

} // namespace simhost
