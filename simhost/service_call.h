#pragma once
// The start of every simulated operation: count the call, log it, and fail it if
// a test injected a failure for it. Used inside simhost::boundary, which turns the
// thrown failure into the HRESULT with its error information.

#include "operations.h"

#include <com/bstr.h>

#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace simhost {

// Counts and logs "Service.Operation(argument,argument)", then throws the failure
// injected for this call, if any.
void enter(operation op, std::initializer_list<std::wstring_view> arguments);

// Counts the call without logging it; throws the failure injected for it, if any.
void enter_unlogged(operation op);

// Throws E_POINTER, without error information, for a missing argument or result.
void require(const void* pointer);

std::wstring number_text(long value);

// The number a pointer refers to as text, "null" for none.
std::wstring number_or_null(const LONG* value);

// An operation that takes a number by reference and hands out one result: logs
// the number, requires both pointers, then hands out what `answer` makes of the
// number (a text as a BSTR).
template <class Result, class Answer>
void answer_number(operation op, const LONG* number, Result* result, Answer&& answer)
{
    enter(op, {number_or_null(number)});
    require(number);
    require(result);
    if constexpr (std::is_same_v<Result, BSTR>)
        *result = com::bstr(answer(*number)).detach();
    else
        *result = answer(*number);
}

} // namespace simhost
