#include "level_table.h"

namespace ordering {

bool level_table::holds(IUnknown* list) const { return members_.count(common::object_key(list)) != 0; }

void level_table::append(com::com_ptr<IKSQObjectList> list)
{
    members_.insert(common::object_key(list.get()));
    levels_.push_back(std::move(list));
}

} // namespace ordering
