#pragma once
// The collections of host objects the host hands out (related objects, search
// results): a plain IDispatch whose member DISPID_NEWENUM ("_NewEnum") gives an
// IEnumVARIANT over the objects. "Count" and "Item" (from 1) are there for scripts.

#include "object_list.h"
#include "operations.h"

#include <com/com_ptr.h>

#include <oaidl.h>

namespace simhost {

// The operations a kind of collection counts: its _NewEnum and its enumerators' Next.
struct collection_operations {
    operation new_enum;
    operation next;
};

inline constexpr collection_operations related_objects_operations{operation::collection_new_enum,
                                                                  operation::enumerator_next};
inline constexpr collection_operations search_results_operations{operation::results_new_enum,
                                                                 operation::results_enumerator_next};

com::com_ptr<IDispatch> make_object_collection(object_list objects,
                                               collection_operations operations = related_objects_operations);

} // namespace simhost
