#pragma once
// Helpers for tests that use the component through COM.

#include "com/bstr.h"
#include "com/com_ptr.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <string>

namespace testing_support {

void expect_ok(HRESULT hr, const char* what = "call");

// What a failed call reported: its HRESULT and the thread's error information.
struct failure {
    HRESULT code = S_OK;
    std::wstring source;
    std::wstring description;
};
failure failure_of(HRESULT hr);

template <class I> com::com_ptr<I> create(REFCLSID clsid)
{
    com::com_ptr<I> object;
    expect_ok(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(I), object.put_void()),
              "CoCreateInstance");
    return object;
}

template <class I, class T> com::com_ptr<I> query(const com::com_ptr<T>& object)
{
    com::com_ptr<I> result = object.template try_as<I>();
    EXPECT_TRUE(result) << "object does not answer the interface";
    return result;
}

// 0x800A0000 | number.
constexpr HRESULT numbered(long number)
{
    return static_cast<HRESULT>(0x800A0000UL | static_cast<unsigned long>(number));
}

// The dispatch identifier of a member, by name; fails the test when unknown.
DISPID dispid_of(IDispatch& object, const wchar_t* name);

// DllCanUnloadNow of the loaded component.
HRESULT component_can_unload_now();

} // namespace testing_support
