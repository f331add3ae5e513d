#pragma once
// CObjectListIterator: walks one object list from its first object to its last
// and stays valid while the list changes, which tells it of every change.

#include <K1PriTyp.h>

#include "tables.h"

#include "com/dual.h"
#include "com/implements.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ordering {

class CObjectListIterator final : public com::implements<com::dual<IKSQObjectIterator>, com::dual<IKSQIteratorNotify>> {
public:
    static constexpr std::wstring_view class_label = L"CObjectListIterator";

    // Called once by the list that creates the iterator, with its live table.
    void Initialize(object_table objects);

    HRESULT STDMETHODCALLTYPE HasNext(VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE Next(HostObject** object) noexcept override;
    HRESULT STDMETHODCALLTYPE Notify(LONG code) noexcept override;

private:
    void refresh_keys();
    void object_added();
    void object_removed();
    // The object the table holds under the snapshot key at `position`.
    com::com_ptr<HostObject> object_at(std::int32_t position) const;

    object_table objects_;
    // Entries 0 to count - 1 hold the list's keys; entries beyond are spare or stale.
    std::vector<std::wstring> keys_;
    // List index of the object the walk last passed; -1 before the first.
    std::int32_t position_ = -1;
    // The object at position_ as of the last change the iterator was told of:
    // what a removal is measured against.
    com::com_ptr<HostObject> current_;
};

} // namespace ordering
