#pragma once
// Failures inside the server travel as com_error exceptions that carry the HRESULT
// and its error information; every COM method is a boundary that turns them back
// into that HRESULT with SetErrorInfo, unchanged.

#include "com_ptr.h"

#include <windows.h>
#include <ole2.h>

#include <exception>
#include <new>
#include <string_view>

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

// Throws for a failure whose error information, if any, is the thread's current one
// (the failing callee is one of this server's own objects, or a call that sets none).
[[noreturn]] void throw_error(HRESULT code);

// Throws for a failure of a call on `callee` through interface `iid`: its error
// information counts only when the callee says it supports error information.
[[noreturn]] void throw_error(HRESULT code, IUnknown* callee, REFIID iid);

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

// Runs `work` and reports how it ended as an HRESULT, with the error information set.
template <class F> HRESULT boundary(F&& work) noexcept
{
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
