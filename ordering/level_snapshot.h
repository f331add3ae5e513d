#pragma once
// What both level iterators hold: the list's live level table and a snapshot of
// its keys in level order, which is the level count when it was taken.

#include "level_table.h"

#include "diagnostics/errors.h"

#include "com/error.h"

#include <cstdint>
#include <string_view>

namespace ordering {

class level_snapshot {
public:
    void take(shared_level_table levels)
    {
        levels_ = std::move(levels);
        refresh();
    }
    // Takes the snapshot again.
    void refresh() noexcept { count_ = levels_->count(); }

    const level_table& levels() const noexcept { return *levels_; }

    // The level at `position` of the snapshot; out of its range fails (reported
    // for `class_label`).
    com::com_ptr<IKSQObjectList> at(std::int32_t position, std::wstring_view class_label) const
    {
        // Only an iterator that missed an Add can point past its snapshot.
        if (position < 0 || static_cast<std::size_t>(position) >= count_)
            diagnostics::raise_subscript_out_of_range(class_label);
        return levels_->at(static_cast<std::size_t>(position));
    }

private:
    shared_level_table levels_;
    std::size_t count_ = 0;
};

// The work of a level iterator's Next: asks the iterator's own HasNext (a full
// call, traced), and if there is a level, moves the position one `step` on and
// returns the level there.
template <class Step>
com::com_ptr<IKSQObjectList> next_level(IKSQLevelIterator& iterator, std::int32_t& position,
                                        const level_snapshot& snapshot, std::wstring_view class_label, Step step)
{
    VARIANT_BOOL more = VARIANT_FALSE;
    com::check(iterator.HasNext(&more));
    if (!more) return {};
    const std::int32_t moved = step(position, class_label);
    com::com_ptr<IKSQObjectList> found = snapshot.at(moved, class_label);
    position = moved;
    return found;
}

} // namespace ordering
