#pragma once
// Ends the level sort's endless passes as soon as they start going round.
//
// What decides the rest of a sort, between the walk of one level and the next,
// is: the objects of the non-empty levels, level by level in order; how many of
// those levels the walk has passed (it goes on with the next non-empty one); and
// the mover table. Nothing else the sort keeps is read by a later step: an empty
// level stays empty (objects only ever go into the newest level) and its walk
// changes nothing; iterator registrations are only told of changes; the depths
// and counts of the pass bound only decide where the bound cuts. The walk of a
// non-empty level reads exactly that state and the host's answers (each
// object's RelatedObjects and ID, which the sort takes to be the same for the
// same object every time), and leaves the next such state. So once the state
// after a walk equals the state after an earlier walk, the walks between them
// repeat forever: that sort would never end on its own, and stopping it there
// (after the new level is appended, so no object is lost) cuts nothing that
// would end. A sort that ends on its own never meets such a repetition.
//
// The state is compared by identity: an object by the reference a level or the
// mover table holds, which the saved copy holds too, so that no address is
// reused while it is compared against. Equal identities imply equal IDs, so a
// repetition found this way is a real one; a host that hands out new references
// for the same objects only delays or hides it, and the bound remains.
//
// Brent's search: the state is saved after walks 1, 2, 4, 8 and so on, and every
// walk compares its state with the saved one, first by a fingerprint, then in
// full. A cycle of p walks that starts after walk m is found by walk
// 2 * max(m, p) + p at the latest; memory is one saved state.

#include <K1PriTyp.h>

#include "common/object_key.h"

#include "com/com_ptr.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

namespace ordering {

// Each related object (by identity) with the visited object that moved it last.
using mover_table = std::unordered_map<common::object_key, com::com_ptr<HostObject>>;

class repetition_watch {
public:
    // After the walk of the level at `walked` (a level that held objects when the
    // walk began): true when the sort stands exactly where it stood after an
    // earlier walk. Level lists made of other lists than this component's own
    // cannot be read; the watch then answers false for good.
    bool repeats(IKSQLevelList& levels, std::size_t walked, const mover_table& movers);

private:
    struct state {
        // The objects of the non-empty levels in order, each level closed by a null.
        std::vector<com::com_ptr<HostObject>> objects;
        // How many of those levels lie at or before the level walked last.
        std::size_t passed = 0;
        mover_table movers;
        friend bool operator==(const state&, const state&) = default;
    };

    // The fingerprint of the state as it stands, read without copying it; none
    // when a level is not one of this component's lists.
    static std::optional<std::uint64_t> fingerprint(IKSQLevelList& levels, std::size_t walked,
                                                    const mover_table& movers);
    static state copy(IKSQLevelList& levels, std::size_t walked, const mover_table& movers);

    bool readable_ = true;
    std::optional<state> saved_;
    std::uint64_t saved_fingerprint_ = 0;
    std::size_t window_ = 1;
    std::size_t steps_ = 0;
};

} // namespace ordering
