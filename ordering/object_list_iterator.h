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

    // Invariants, for an iterator the list has told of every change since
    // Initialize (one removed from the list's notifications can break 3 and 4;
    // object_at then fails with a subscript error instead of reading past them):
    // 1. position_ >= -1: the list index of the object the walk passed last, -1
    //    before the first.
    // 2. current_ is null exactly when position_ is -1.
    // 3. keys_ holds at least the table's count of entries; entries 0 to
    //    count - 1 are the table's keys in list order, those beyond are spare.
    // 4. current_ is the object at position_ (by the host's comparison), except
    //    inside object_removed, which restores it.
    object_table objects_;
    std::vector<std::wstring> keys_;
    std::int32_t position_ = -1;
    com::com_ptr<HostObject> current_;

    void assert_position() const noexcept;
};

} // namespace ordering
