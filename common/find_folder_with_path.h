#pragma once
// FindFolderWithPath (module modCommonFunctions): resolves a folder's full path
// to the host folder with a search of the object source.

#include <K5TYPLIB.h>

#include "com/com_ptr.h"

#include <string_view>

namespace common {

// Searches the object source for folders named as the path's last element and
// takes the first result whose full path equals the path exactly (letter case
// included); true when one does, and then `folder` holds it, else `folder` is
// left as it was. Every failure after the Enter line is passed over step by step
// and leaves no error information on the thread: a search that cannot be made,
// run or enumerated finds nothing, a setting that cannot be made stays as the
// host made it, and a result whose path cannot be read does not match. Only a
// failing Enter line fails the routine. `source` is passed on to the host by
// reference, so it holds what the host leaves there.
bool FindFolderWithPath(std::wstring_view path, com::com_ptr<ObjectSource2>& source, com::com_ptr<HostObject>& folder);

} // namespace common
