#pragma once
// One Sort call: walks the levels from level 0 on, including the levels it
// appends, and moves each visited object's related objects into a new level
// after the one being walked.

#include <K1PriTyp.h>

#include "pass_bound.h"
#include "repetition_watch.h"

#include "com/com_ptr.h"

#include <optional>
#include <string_view>

namespace ordering {

// The sort reports its failures as the class that runs it.
inline constexpr std::wstring_view sort_class_label = L"CSortApplicationByLevels";

// Whether the sort ends endless passes once they repeat (see repetition_watch),
// or only at the pass bound, as tests that compare the two need.
enum class repetition_check { on, off };

// How a sort ended: by itself, when its walk ran out of levels; or stopped with
// its last level appended, because its passes went round or went past the bound.
enum class sort_end { finished, repeated, bounded };

class level_sort {
public:
    explicit level_sort(com::com_ptr<IKSQLevelList> levels, repetition_check check = repetition_check::on);

    sort_end run();

private:
    // Walks one level, the one at `index`, and appends the new level it filled,
    // if any. Says why, when the sort has to stop there.
    std::optional<sort_end> walk(IKSQObjectList& level, std::size_t index);
    // Moves `related` out of the last level that holds it into the new level,
    // unless `visited` moved it last. An earlier level that holds it too keeps
    // it: the scan stops there, since `visited` has just become its last mover.
    void move_related(HostObject& visited, HostObject& related, IKSQObjectList& new_level);
    // Records `visited` as the mover of `related`; false when it already is (by ID).
    bool record_mover(HostObject& visited, HostObject& related);

    com::com_ptr<IKSQLevelList> levels_;
    mover_table movers_;
    pass_bound bound_;
    repetition_check check_;
    repetition_watch watch_;
};

} // namespace ordering
