#include "level_snapshot.h"

#include "diagnostics/errors.h"

namespace ordering {

void level_snapshot::take(shared_level_table levels)
{
    levels_ = std::move(levels);
    refresh();
}

com::com_ptr<IKSQObjectList> level_snapshot::at(std::int32_t position, std::wstring_view class_label) const
{
    // Only an iterator that missed an Add can point past its snapshot.
    if (position < 0 || static_cast<std::size_t>(position) >= count_)
        diagnostics::raise_subscript_out_of_range(class_label);
    return levels_->at(static_cast<std::size_t>(position));
}

} // namespace ordering
