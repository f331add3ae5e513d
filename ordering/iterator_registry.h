#pragma once
// The iterators that a list tells of its changes, in registration order. The
// registry holds a reference to each, so a registered iterator stays alive.

#include <K1PriTyp.h>

#include "common/keyed_table.h"
#include "common/object_key.h"

#include "com/com_ptr.h"

namespace ordering {

class iterator_registry {
public:
    iterator_registry();

    void add(IUnknown* iterator, com::com_ptr<IKSQIteratorNotify> notify);
    // Forgets the iterator if it is registered (the same object); else nothing.
    void remove(IUnknown* iterator);
    // Starts a new, empty registry; the dropped iterators are not told.
    void clear();

    // Calls Notify(code) on every registered iterator in registration order. The
    // first failure ends the round: the iterators after it are not told.
    void notify_all(long code) const;

private:
    using table = common::shared_table<common::object_key, com::com_ptr<IKSQIteratorNotify>>;
    static table make_empty() { return common::make_table<common::object_key, com::com_ptr<IKSQIteratorNotify>>(); }

    table iterators_;
};

} // namespace ordering
