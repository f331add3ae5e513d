#pragma once
// The rows of SimHostControl.AddItems: five one-dimensional arrays of equal
// length with lower bound 0 (texts as BSTR, codes as long), read in place while
// this object holds them.

#include "repository.h"

#include <oaidl.h>

#include <cstddef>

namespace simhost {

class item_rows {
public:
    // Throws com_error (E_INVALIDARG) for arrays of another shape or element type.
    item_rows(SAFEARRAY* ids, SAFEARRAY* names, SAFEARRAY* type_codes, SAFEARRAY* subtype_codes,
              SAFEARRAY* parent_paths);
    ~item_rows();
    item_rows(const item_rows&) = delete;
    item_rows& operator=(const item_rows&) = delete;

    std::size_t size() const noexcept { return size_; }
    new_item operator[](std::size_t row) const noexcept;

private:
    class held_array {
    public:
        held_array() = default;
        held_array(const held_array&) = delete;
        held_array& operator=(const held_array&) = delete;
        ~held_array();
        // Holds `array` and returns its length; throws when it does not fit.
        std::size_t hold(SAFEARRAY* array, VARTYPE type, const wchar_t* name);
        template <class T> const T* data() const noexcept { return static_cast<const T*>(data_); }

    private:
        SAFEARRAY* array_ = nullptr;
        void* data_ = nullptr;
    };

    held_array ids_, names_, type_codes_, subtype_codes_, parent_paths_;
    std::size_t size_ = 0;
};

} // namespace simhost
