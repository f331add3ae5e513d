#pragma once
// The levels of a level list, in level order, shared with its iterators. Levels
// are only ever appended, so the first n levels never change: a copy of the
// keys as of some moment is fully described by the count at that moment, and an
// iterator's snapshot costs neither a copy nor memory per level.

#include <K1PriTyp.h>

#include "common/object_key.h"

#include "com/com_ptr.h"

#include <cassert>
#include <cstddef>
#include <memory>
#include <unordered_set>
#include <vector>

namespace ordering {

class level_table {
public:
    bool holds(IUnknown* list) const { return members_.count(common::object_key(list)) != 0; }
    // Appends a list that is no level yet.
    void append(com::com_ptr<IKSQObjectList> list)
    {
        assert(list); // 4
        [[maybe_unused]] const bool added = members_.insert(common::object_key(list.get())).second;
        assert(added); // 2
        levels_.push_back(std::move(list));
        assert(members_.size() == levels_.size()); // 3
    }

    std::size_t count() const noexcept { return levels_.size(); }
    const com::com_ptr<IKSQObjectList>& at(std::size_t index) const { return levels_.at(index); }

private:
    // Invariants:
    // 1. levels_ only grows at its end: the level at an index never changes once
    //    there, which is what lets a count stand for a snapshot.
    // 2. No object list (by identity) is a level twice.
    // 3. members_ holds exactly the identities of the lists in levels_, so both
    //    have the same size.
    // 4. No level is null.
    std::vector<com::com_ptr<IKSQObjectList>> levels_;
    std::unordered_set<common::object_key> members_;
};

using shared_level_table = std::shared_ptr<level_table>;

} // namespace ordering
