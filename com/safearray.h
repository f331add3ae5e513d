#pragma once
// An owning SAFEARRAY holder, and the conversions the server needs.

#include "bstr.h"
#include "error.h"
#include "variant.h"

#include <windows.h>
#include <ole2.h>

#include <cstddef>
#include <initializer_list>
#include <new>
#include <string_view>
#include <utility>

namespace com {

// A one-dimensional SAFEARRAY, indices from 0.
class safe_array {
public:
    safe_array() noexcept = default;
    // `size` elements of `type`, to be filled through data().
    safe_array(VARTYPE type, std::size_t size) : array_(::SafeArrayCreateVector(type, 0, static_cast<ULONG>(size)))
    {
        if (!array_) throw std::bad_alloc();
    }
    // VARIANTs holding texts; with no texts, an empty array (not a missing one).
    explicit safe_array(std::initializer_list<std::wstring_view> texts);
    safe_array(const safe_array&) = delete;
    safe_array& operator=(const safe_array&) = delete;
    safe_array(safe_array&& other) noexcept : array_(std::exchange(other.array_, nullptr)) {}
    safe_array& operator=(safe_array&& other) noexcept
    {
        if (this != &other) {
            reset();
            array_ = std::exchange(other.array_, nullptr);
        }
        return *this;
    }
    ~safe_array() { reset(); }

    SAFEARRAY* get() const noexcept { return array_; }
    // By reference, as the callee may replace the array.
    SAFEARRAY** ref() noexcept { return &array_; }
    // The elements, for an array that is not locked.
    template <class T> T* data() noexcept { return static_cast<T*>(array_->pvData); }
    void reset() noexcept
    {
        if (array_) ::SafeArrayDestroy(std::exchange(array_, nullptr));
    }

private:
    SAFEARRAY* array_ = nullptr;
};

inline safe_array::safe_array(std::initializer_list<std::wstring_view> texts)
{
    // Built in a holder of its own, so that a failing text or element frees it.
    safe_array built(VT_VARIANT, texts.size());
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
