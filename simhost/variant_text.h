#pragma once
// Values as the trace lines and the call log write them.

#include <oaidl.h>

#include <string>
#include <string_view>
#include <vector>

namespace simhost {

// The value converted to text, or "?" when it has none. May call an object's
// default property, so never call it while holding a lock.
std::wstring text_of(const VARIANT& value);

// The elements of a one-dimensional array of VARIANTs (or BSTRs) as texts; no
// elements for a missing array.
std::vector<std::wstring> texts_of(const SAFEARRAY* array);

// An array argument in the call log: "[a;b]", "[]" when empty, "null" when missing.
std::wstring array_text(const SAFEARRAY* array);

std::wstring join(const std::vector<std::wstring>& parts, std::wstring_view separator);

std::string to_utf8(std::wstring_view text);

} // namespace simhost
