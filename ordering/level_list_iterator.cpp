#include "level_list_iterator.h"

#include "tables.h"

#include "common/position.h"
#include "diagnostics/member.h"
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
    return diagnostics::traced_member(class_label, L"IKSQLevelIterator_HasNext", result, [&] {
        return com::to_variant_bool(common::HasNext(position_, snapshot_.levels().count()));
    });
}

HRESULT CLevelListIterator::Next(IKSQObjectList** level) noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQLevelIterator_Next", level, [&] {
        return next_level(*this, position_, snapshot_, class_label, common::next_position);
    });
}

HRESULT CLevelListIterator::Notify(LONG code) noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQIteratorNotify_Notify", [&] {
        // Levels are only ever appended: the walk goes on to reach them.
        if (code == NotifyAdded) snapshot_.refresh();
    });
}

} // namespace ordering
