#pragma once
// Failures inside the server travel as com_error exceptions that carry the HRESULT
// and its error information (thrown by the throwers of throw.h); every COM method
// is a boundary that turns them back into that HRESULT with SetErrorInfo,
// unchanged. A caller always receives error information: the callee's when it
// set any, otherwise one made at the boundary.

#include "com_ptr.h"
#include "throw.h"

#include <windows.h>
#include <ole2.h>

#include <initializer_list>
#include <exception>
#include <string>
#include <string_view>
#include <type_traits>

namespace com {

class com_error : public std::exception {
public:
    com_error(HRESULT code, com_ptr<IErrorInfo> info) noexcept : code_(code), info_(std::move(info)) {}
    HRESULT code() const noexcept { return code_; }
    IErrorInfo* info() const noexcept { return info_.get(); }
    const char* what() const noexcept override { return "COM call failed"; }

private:
    HRESULT code_;
    com_ptr<IErrorInfo> info_;
};

// The thread's error information, taken: the thread has none afterwards.
com_ptr<IErrorInfo> take_error_info() noexcept;

// Forgets the thread's error information.
void clear_error_info() noexcept;

// New error information; empty only when the system cannot make any.
com_ptr<IErrorInfo> make_error_info(std::wstring_view source, std::wstring_view description) noexcept;

// The system's message text for an HRESULT, or a text naming it in hexadecimal.
std::wstring message_text(HRESULT code);

// The error information that a failed call on `callee` left on the thread,
// taken; empty when there is none, or when the callee says through
// ISupportErrorInfo (S_FALSE) that it sets none for every interface in `iids`
// (those it may have been called through).
com_ptr<IErrorInfo> callee_error_info(IUnknown* callee, std::initializer_list<IID> iids) noexcept;

inline void check(HRESULT code)
{
    if (FAILED(code)) throw_with_thread_info(code);
}

template <class I> void check(HRESULT code, I* callee)
{
    if (FAILED(code)) throw_with_callee_info(code, callee, __uuidof(I));
}

// A failure as a boundary reports it: a com_error's HRESULT and information;
// E_OUTOFMEMORY for std::bad_alloc; E_FAIL, described by what(), for another
// std::exception; E_UNEXPECTED for anything else. No information but a
// com_error's own travels.
struct failure {
    HRESULT code = E_UNEXPECTED;
    com_ptr<IErrorInfo> info;
    std::wstring description; // empty: the system's text for the code says it
};

// The failure being handled: the one catch ladder of every boundary. Call only
// inside a catch handler.
failure current_failure() noexcept;

namespace detail {
HRESULT report_current_failure(std::wstring_view source) noexcept;
} // namespace detail

// Runs `work` and reports how it ended as an HRESULT, with the error information
// set: the failure's own, or one made for `source` (the class whose operation
// failed). Information left on the thread by an earlier call is dropped first, so
// that what a failing callee leaves there belongs to that failure.
template <class F> HRESULT boundary(std::wstring_view source, F&& work) noexcept
{
    static_assert(std::is_void_v<std::invoke_result_t<F>>, "a boundary's work hands its results out itself");
    clear_error_info();
    try {
        work();
        return S_OK;
    } catch (...) {
        return detail::report_current_failure(source);
    }
}

} // namespace com
