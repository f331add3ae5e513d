#include "level_reverse_list_iterator.h"

#include "tables.h"

#include "common/position.h"
#include "diagnostics/errors.h"
#include "diagnostics/member.h"
#include "diagnostics/trace.h"

#include "com/error.h"
#include "com/safearray.h"

#include <limits>

namespace ordering {

using diagnostics::traced;

void CLevelReverseListIterator::Initialize(shared_level_table levels)
{
    traced(class_label, L"Initialize", [&] {
        snapshot_.take(std::move(levels));
        const std::size_t count = snapshot_.levels().count();
        if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
            diagnostics::raise_overflow(class_label);
        position_ = static_cast<std::int32_t>(count);
    });
}

HRESULT CLevelReverseListIterator::HasNext(VARIANT_BOOL* result) noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQLevelIterator_HasNext", result,
                                      [&] { return com::to_variant_bool(common::HasNext(position_)); });
}

HRESULT CLevelReverseListIterator::Next(IKSQObjectList** level) noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQLevelIterator_Next", level, [&] {
        return next_level(*this, position_, snapshot_, class_label, common::previous_position);
    });
}

HRESULT CLevelReverseListIterator::Notify(LONG code) noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQIteratorNotify_Notify", [&] {
        // Appended levels lie beyond the start of the walk, so it never
        // reaches them; the snapshot is brought up to date all the same.
        if (code == NotifyAdded) snapshot_.refresh();
    });
}

} // namespace ordering
