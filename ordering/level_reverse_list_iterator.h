#pragma once
// CLevelReverseListIterator: walks a level list from its last level to level 0,
// covering the levels that existed when it was created.

#include <K1PriTyp.h>

#include "level_snapshot.h"

#include "com/dual.h"
#include "com/implements.h"

#include <cstdint>
#include <string_view>

namespace ordering {

class CLevelReverseListIterator final
    : public com::implements<com::dual<IKSQLevelIterator>, com::dual<IKSQIteratorNotify>> {
public:
    static constexpr std::wstring_view class_label = L"CLevelReverseListIterator";

    // Called once by the level list that creates the iterator, with its live table.
    void Initialize(shared_level_table levels);

    HRESULT STDMETHODCALLTYPE HasNext(VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE Next(IKSQObjectList** level) noexcept override;
    HRESULT STDMETHODCALLTYPE Notify(LONG code) noexcept override;

private:
    level_snapshot snapshot_;
    // Index of the level last returned; the level count at set-up before the first.
    std::int32_t position_ = 0;
};

} // namespace ordering
