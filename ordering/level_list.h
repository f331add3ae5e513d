#pragma once
// CLevelList: object lists stacked as levels, level 0 first, with the iterators
// that it tells of every Add. Levels are never removed.

#include <K1PriTyp.h>

#include "iterator_registry.h"
#include "level_table.h"
#include "tables.h"

#include "com/dual.h"
#include "com/implements.h"

#include <string_view>

namespace ordering {

class CLevelList final : public com::implements<com::dual<IKSQLevelList>> {
public:
    static constexpr std::wstring_view class_label = L"CLevelList";

    CLevelList();

    HRESULT STDMETHODCALLTYPE Add(IKSQObjectList* level) noexcept override;
    HRESULT STDMETHODCALLTYPE CreateLevelIterator(IKSQLevelIterator** iterator) noexcept override;
    HRESULT STDMETHODCALLTYPE CreateReverseLevelIterator(IKSQLevelIterator** iterator) noexcept override;
    HRESULT STDMETHODCALLTYPE RemoveIterator(IKSQLevelIterator* iterator) noexcept override;
    HRESULT STDMETHODCALLTYPE RemoveAllIterators() noexcept override;

    // The levels as they stand, for the sort's own bookkeeping (untraced).
    const level_table& levels() const noexcept { return *levels_; }

private:
    template <class Iterator>
    HRESULT create_iterator(std::wstring_view member_label, IKSQLevelIterator** iterator) noexcept;

    shared_level_table levels_;
    iterator_registry iterators_;
};

} // namespace ordering
