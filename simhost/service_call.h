#pragma once
// The start of every simulated operation: count the call, log it, and fail it if
// a test injected a failure for it. Used inside simhost::boundary, which turns the
// thrown failure into the HRESULT with its error information.

#include "operations.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace simhost {

// Counts and logs "Service.Operation(argument,argument)", then throws the failure
// injected for this call, if any.
void enter(operation op, std::initializer_list<std::wstring_view> arguments);

// Counts the call without logging it; throws the failure injected for it, if any.
void enter_unlogged(operation op);

// Throws E_POINTER, without error information, for a missing argument or result.
void require(const void* pointer);

std::wstring number_text(long value);

} // namespace simhost
