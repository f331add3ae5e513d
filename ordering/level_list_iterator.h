#pragma once
// CLevelListIterator: walks a level list from level 0 to the last level,
// including levels appended while it walks.

#include <K1PriTyp.h>

#include "level_snapshot.h"

#include "com/dual.h"
#include "com/implements.h"

#include <cstdint>
#include <string_view>

namespace ordering {

class CLevelListIterator final : public com::implements<com::dual<IKSQLevelIterator>, com::dual<IKSQIteratorNotify>> {
public:
    static constexpr std::wstring_view class_label = L"CLevelListIterator";

    // Called once by the level list that creates the iterator, with its live table.
    void Initialize(shared_level_table levels);

    HRESULT STDMETHODCALLTYPE HasNext(VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE Next(IKSQObjectList** level) noexcept override;
    HRESULT STDMETHODCALLTYPE Notify(LONG code) noexcept override;

private:
    level_snapshot snapshot_;
    // Index of the level last returned; -1 before the first.
    std::int32_t position_ = -1;
};

} // namespace ordering
