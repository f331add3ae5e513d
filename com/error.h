#pragma once
// Failures inside the server travel as com_error exceptions that carry the HRESULT
// and its error information; every COM method is a boundary that turns them back
// into that HRESULT with SetErrorInfo, unchanged. A caller always receives error
// information: the callee's when it set any, otherwise one made at the boundary.

#include "com_ptr.h"

#include <windows.h>
#include <ole2.h>

#include <exception>
#include <initializer_list>
#include <new>
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

// Throws for a failure of one of this server's own objects, or of a call that
// reports through the thread's error information: that information goes with it.
[[noreturn]] void throw_error(HRESULT code);

// Throws for a failure of a call on `callee` through interface `iid`. The error
// information the callee left on the thread goes with it, unless the callee says
// through ISupportErrorInfo (S_FALSE) that it sets none for that interface.
[[noreturn]] void throw_error(HRESULT code, IUnknown* callee, REFIID iid);

// Throws for a failure of a call on `callee` through `iid`, with the callee's
// error information or, when it left none, with one made here.
[[noreturn]] void throw_error(HRESULT code, IUnknown* callee, REFIID iid, std::wstring_view source,
                              std::wstring_view description);

// Throws a failure without error information: the boundary makes it, for the
// class whose operation failed.
[[noreturn]] void throw_failure(HRESULT code);

// Throws a failure with error information made here.
[[noreturn]] void throw_error(HRESULT code, std::wstring_view source, std::wstring_view description);

inline void check(HRESULT code)
{
    if (FAILED(code)) throw_error(code);
}

template <class I> void check(HRESULT code, I* callee)
{
    if (FAILED(code)) throw_error(code, callee, __uuidof(I));
}

namespace detail {
HRESULT report(const com_error& error, std::wstring_view source) noexcept;
HRESULT report(const std::exception& error, std::wstring_view source) noexcept;
HRESULT report_unknown(std::wstring_view source) noexcept;
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
    } catch (const com_error& e) {
        return detail::report(e, source);
    } catch (const std::exception& e) {
        return detail::report(e, source);
    } catch (...) {
        return detail::report_unknown(source);
    }
}

// The boundary of a server that sets its callers' error information itself and
// wants nothing made or dropped for it: a failure passes on exactly the
// information it carries, a success clears the thread's.
template <class F> HRESULT boundary(F&& work) noexcept
{
    static_assert(std::is_void_v<std::invoke_result_t<F>>, "a boundary's work hands its results out itself");
    try {
        work();
        ::SetErrorInfo(0, nullptr);
        return S_OK;
    } catch (const com_error& e) {
        ::SetErrorInfo(0, e.info());
        return e.code();
    } catch (const std::bad_alloc&) {
        ::SetErrorInfo(0, nullptr);
        return E_OUTOFMEMORY;
    } catch (...) {
        ::SetErrorInfo(0, nullptr);
        return E_UNEXPECTED;
    }
}

} // namespace com
