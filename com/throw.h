#pragma once
// The throwers of com_error (error.h). Each name says which error information
// travels with the failure; the boundary that catches it hands that information
// to the caller, or makes some when none travels.

#include <objbase.h>

#include <string_view>

namespace com {

// None: the boundary makes it, for the class whose operation failed.
[[noreturn]] void throw_without_info(HRESULT code);

// Information made here.
[[noreturn]] void throw_with_new_info(HRESULT code, std::wstring_view source, std::wstring_view description);

// The thread's: for a failure of one of this server's own objects, or of a call
// that reports through the thread's error information.
[[noreturn]] void throw_with_thread_info(HRESULT code);

// What a failed call on `callee` through `iid` left on the thread, unless the
// callee says through ISupportErrorInfo (S_FALSE) that it sets none for `iid`.
[[noreturn]] void throw_with_callee_info(HRESULT code, IUnknown* callee, REFIID iid);

// The callee's, as throw_with_callee_info; when it left none, information made here.
[[noreturn]] void throw_with_callee_or_new_info(HRESULT code, IUnknown* callee, REFIID iid, std::wstring_view source,
                                                std::wstring_view description);

} // namespace com
