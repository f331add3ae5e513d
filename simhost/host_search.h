#pragma once
// A search made by an object source: it finds the items of the types added to
// its type filter whose name equals its name pattern exactly (letter case
// counts), in the order the items were added. No type added: nothing found.

#include <com/com_ptr.h>

#include <oaidl.h>

namespace simhost {

// A new search, as the IDispatch that CreateNewObject hands out (it answers HostSearch).
com::com_ptr<IDispatch> make_host_search();

} // namespace simhost
