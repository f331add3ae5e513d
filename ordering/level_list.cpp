#include "level_list.h"

#include "level_iterator.h"

#include "common/iterator_factory.h"
#include "diagnostics/setup.h"
#include "diagnostics/member.h"
#include "diagnostics/trace.h"

#include "com/error.h"

namespace ordering {

using diagnostics::traced;

CLevelList::CLevelList() : levels_(std::make_shared<level_table>()) { diagnostics::ensure_thread_setup(); }

HRESULT CLevelList::Add(IKSQObjectList* level) noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQLevelList_Add", [&] {
        if (!level) com::throw_with_new_info(E_POINTER, class_label, L"No object list was given.");
        if (!levels_->holds(level)) levels_->append(com::com_ptr<IKSQObjectList>(level));
        // The iterators are told even when the list was a level already.
        iterators_.notify_all(NotifyAdded);
    });
}

template <class Iterator>
HRESULT CLevelList::create_iterator(std::wstring_view member_label, IKSQLevelIterator** iterator) noexcept
{
    return diagnostics::traced_member(class_label, member_label, iterator, [&] {
        return common::make_registered_iterator<IKSQLevelIterator, Iterator>(levels_, iterators_);
    });
}

HRESULT CLevelList::CreateLevelIterator(IKSQLevelIterator** iterator) noexcept
{
    return create_iterator<CLevelListIterator>(L"IKSQLevelList_CreateLevelIterator", iterator);
}

HRESULT CLevelList::CreateReverseLevelIterator(IKSQLevelIterator** iterator) noexcept
{
    return create_iterator<CLevelReverseListIterator>(L"IKSQLevelList_CreateReverseLevelIterator", iterator);
}

HRESULT CLevelList::RemoveIterator(IKSQLevelIterator* iterator) noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQLevelList_RemoveIterator",
                                      [&] { iterators_.remove(iterator); });
}

HRESULT CLevelList::RemoveAllIterators() noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQLevelList_RemoveAllIterators", [&] { iterators_.clear(); });
}

} // namespace ordering
