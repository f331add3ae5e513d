#pragma once
// Owning SAFEARRAY and VARIANT holders, and the conversions the server needs.

#include "bstr.h"
#include "error.h"

#include <windows.h>
#include <ole2.h>

#include <initializer_list>
#include <string_view>
#include <utility>

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

// A one-dimensional SAFEARRAY of VARIANTs, indices from 0.
class variant_array {
public:
    variant_array() noexcept = default;
    // An array of texts; with no texts, an empty array (not a missing one).
    explicit variant_array(std::initializer_list<std::wstring_view> texts);
    variant_array(const variant_array&) = delete;
    variant_array& operator=(const variant_array&) = delete;
    variant_array(variant_array&& other) noexcept : array_(std::exchange(other.array_, nullptr)) {}
    variant_array& operator=(variant_array&& other) noexcept
    {
        if (this != &other) {
            reset();
            array_ = std::exchange(other.array_, nullptr);
        }
        return *this;
    }
    ~variant_array() { reset(); }

    SAFEARRAY* get() const noexcept { return array_; }
    // By reference, as the callee may replace the array.
    SAFEARRAY** ref() noexcept { return &array_; }
    void reset() noexcept
    {
        if (array_) ::SafeArrayDestroy(std::exchange(array_, nullptr));
    }

private:
    SAFEARRAY* array_ = nullptr;
};

inline variant_array::variant_array(std::initializer_list<std::wstring_view> texts)
{
    // Built in a holder of its own, so that a failing text or element frees it.
    variant_array built;
    built.array_ = ::SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(texts.size()));
    if (!built.array_) throw std::bad_alloc();
    LONG index = 0;
    for (std::wstring_view text : texts) {
        variant item;
        item.get()->vt = VT_BSTR;
        item.get()->bstrVal = bstr(text).detach();
        check(::SafeArrayPutElement(built.array_, &index, item.get())); // copies the item
        ++index;
    }
    array_ = std::exchange(built.array_, nullptr);
}

constexpr VARIANT_BOOL to_variant_bool(bool value) noexcept { return value ? VARIANT_TRUE : VARIANT_FALSE; }

} // namespace com
