#include "level_list_iterator.h"

#include "tables.h"

#include "common/position.h"
#include "diagnostics/trace.h"

#include "com/error.h"
#include "com/safearray.h"

namespace ordering {

using diagnostics::traced;

void CLevelListIterator::Initialize(shared_level_table levels)
{
    traced(class_label, L"Initialize", [&] {
        snapshot_.take(std::move(levels));
        position_ = -1;
    });
}

HRESULT CLevelListIterator::HasNext(VARIANT_BOOL* result) noexcept
{
    if (!result) return E_POINTER;
    return com::boundary([&] {
        *result = traced(class_label, L"IKSQLevelIterator_HasNext",
                         [&] { return com::to_variant_bool(common::HasNext(position_, snapshot_.levels().count())); });
    });
}

HRESULT CLevelListIterator::Next(IKSQObjectList** level) noexcept
{
    if (!level) return E_POINTER;
    *level = nullptr;
    return com::boundary([&] {
        auto next = traced(class_label, L"IKSQLevelIterator_Next",
                           [&] { return next_level(*this, position_, snapshot_, class_label, common::next_position); });
        *level = next.detach();
    });
}

HRESULT CLevelListIterator::Notify(LONG code) noexcept
{
    return com::boundary([&] {
        traced(class_label, L"IKSQIteratorNotify_Notify", [&] {
            // Levels are only ever appended: the walk goes on to reach them.
            if (code == NotifyAdded) snapshot_.refresh();
        });
    });
}

} // namespace ordering
