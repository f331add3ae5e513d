#pragma once
// The host's error messages, which HostUtility.RaiseError puts in its error information.

#include <string>
#include <vector>

namespace simhost {

// The message for `number` with %1, %2... replaced by the inserts; "Error <number>"
// for a number the table does not know. A placeholder without an insert stays.
std::wstring error_message(long number, const std::vector<std::wstring>& inserts);

} // namespace simhost
