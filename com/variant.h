#pragma once
// An owning VARIANT holder, and the object a VARIANT holds.

#include <windows.h>
#include <ole2.h>

namespace com {

class variant {
public:
    variant() noexcept { ::VariantInit(&v_); }
    variant(const variant&) = delete;
    variant& operator=(const variant&) = delete;
    variant(variant&& other) noexcept : v_(other.v_) { ::VariantInit(&other.v_); }
    variant& operator=(variant&& other) noexcept
    {
        if (this != &other) {
            ::VariantClear(&v_);
            v_ = other.v_;
            ::VariantInit(&other.v_);
        }
        return *this;
    }
    ~variant() { ::VariantClear(&v_); }

    VARIANT* get() noexcept { return &v_; }
    const VARIANT* get() const noexcept { return &v_; }
    VARIANT* put() noexcept
    {
        ::VariantClear(&v_);
        return &v_;
    }

private:
    VARIANT v_;
};

// The object a VARIANT holds, by value or by reference (through a VARIANT held
// by reference too); null for any other value.
inline IUnknown* object_in(const VARIANT& value) noexcept
{
    switch (value.vt) {
    case VT_DISPATCH:
        return value.pdispVal;
    case VT_UNKNOWN:
        return value.punkVal;
    case VT_DISPATCH | VT_BYREF:
        return value.ppdispVal ? *value.ppdispVal : nullptr;
    case VT_UNKNOWN | VT_BYREF:
        return value.ppunkVal ? *value.ppunkVal : nullptr;
    case VT_VARIANT | VT_BYREF:
        return value.pvarVal ? object_in(*value.pvarVal) : nullptr;
    default:
        return nullptr;
    }
}

} // namespace com
