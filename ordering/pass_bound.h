#pragma once
// The bound on the passes of one Sort call.
//
// Some cyclic relations make the level sort append levels forever (for [A, B]
// with A -> A, A -> B, B -> A and B -> B every pass moves both objects into yet
// another level). The sort therefore measures the depth of the levels it
// appends: a level it appends lies one deeper than the level whose walk filled
// it; every other level has depth 0. Once it has appended a level deeper than
// limit(n), n the number of distinct objects it has seen so far (visited, or
// delivered as related objects), it appends no more: it ends the walk there,
// without an error, and keeps the levels as they stand (no object is lost, as
// the last level is appended first). The steps of the end still run.
//
// Acyclic relations are never cut. An object reaches a level of depth d only by
// a move made while a level of depth d - 1 was walked, by an object visited
// there, which itself reached that level the same way: behind every object at
// depth d stands a chain of relations through d visited objects, one per depth.
// Without a cycle those objects are distinct, so d <= n.
//
// Cyclic relations that the mover table ends can need more: an object can be
// moved again and again by different movers. A search over every relation of
// up to three objects (every order of the related objects, every starting
// order) and a randomised search up to eight objects found such sorts going as
// deep as 8 for 3 objects, 14 for 4, 21 for 5, 33 for 6, 43 for 7 and 48 for 8:
// close to n * n, never beyond it. limit(n) = (n + 1)^2 is therefore quadratic,
// above all of them. Nothing proves that every such sort stays below it.

#include "common/object_key.h"

#include <cstddef>
#include <unordered_map>
#include <unordered_set>

namespace ordering {

class pass_bound {
public:
    // The deepest level that the sort may append after seeing n distinct objects.
    static std::size_t limit(std::size_t seen_objects) noexcept;

    // Counts an object the sort visited or was given as a related object.
    void see(IUnknown* object);
    void appended(IUnknown* level, std::size_t depth);
    std::size_t depth_of(IUnknown* level) const;

    // True when a level of that depth lies beyond the limit.
    bool exceeded(std::size_t depth) const noexcept { return depth > limit(seen_.size()); }

private:
    std::unordered_set<common::object_key> seen_;
    std::unordered_map<common::object_key, std::size_t> depths_;
};

} // namespace ordering
