#pragma once
// One Sort call: walks the levels from level 0 on, including the levels it
// appends, and moves each visited object's related objects into a new level
// after the one being walked.

#include <K1PriTyp.h>

#include "pass_bound.h"

#include "common/object_key.h"

#include "com/com_ptr.h"

#include <unordered_map>

namespace ordering {

class level_sort {
public:
    explicit level_sort(com::com_ptr<IKSQLevelList> levels);

    void run();

private:
    // Walks one level and appends the new level it filled, if any. False when
    // the sort has to stop there.
    bool walk(IKSQObjectList& level);
    // Moves `related` out of every level that holds it, from the last level back,
    // into the new level, unless `visited` moved it last.
    void move_related(HostObject& visited, HostObject& related, IKSQObjectList& new_level);
    // Records `visited` as the mover of `related`; false when it already is (by ID).
    bool record_mover(HostObject& visited, HostObject& related);

    com::com_ptr<IKSQLevelList> levels_;
    // Each related object (by identity) with the visited object that moved it last.
    std::unordered_map<common::object_key, com::com_ptr<HostObject>> movers_;
    pass_bound bound_;
};

} // namespace ordering
