#include "level_table.h"

#include <cassert>

namespace ordering {

bool level_table::holds(IUnknown* list) const { return members_.count(common::object_key(list)) != 0; }

void level_table::append(com::com_ptr<IKSQObjectList> list)
{
    assert(list); // 4
    [[maybe_unused]] const bool added = members_.insert(common::object_key(list.get())).second;
    assert(added); // 2
    levels_.push_back(std::move(list));
    assert(members_.size() == levels_.size()); // 3
}

} // namespace ordering
