#pragma once
// CObjectList: host objects keyed by their ID texts, in the order added, with the
// iterators that it tells of every change.

#include <K1PriTyp.h>

#include "iterator_registry.h"
#include "tables.h"

#include "com/dual.h"
#include "com/implements.h"

#include <string>
#include <string_view>

namespace ordering {

class CObjectList final : public com::implements<com::dual<IKSQObjectList>> {
public:
    static constexpr std::wstring_view class_label = L"CObjectList";

    CObjectList();

    HRESULT STDMETHODCALLTYPE Add(HostObject* object) noexcept override;
    HRESULT STDMETHODCALLTYPE Remove(VARIANT* key) noexcept override;
    HRESULT STDMETHODCALLTYPE Exists(VARIANT* key, VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE CreateObjectIterator(IKSQObjectIterator** iterator) noexcept override;
    HRESULT STDMETHODCALLTYPE RemoveIterator(IKSQObjectIterator* iterator) noexcept override;
    HRESULT STDMETHODCALLTYPE RemoveAllIterators() noexcept override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) noexcept override;

    // The objects as they stand, for the sort's own bookkeeping (untraced).
    const object_table::element_type& objects() const noexcept { return *objects_; }

private:
    // The key a value stands for: a text is its own key, an object its ID, any
    // other value the empty text.
    std::wstring FindKey(const VARIANT& value);

    object_table objects_;
    iterator_registry iterators_;
};

} // namespace ordering
