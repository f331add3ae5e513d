#pragma once
// The one way an owner makes an iterator: create it, initialise it over the
// owner's live table, and hand it out as its iterator interface; for lists,
// also register it so that it is told of the list's changes.

#include "com/com_ptr.h"
#include "com/implements.h"

#include <utility>

namespace common {

template <class Interface, class Iterator, class Table> com::com_ptr<Interface> make_iterator(Table table)
{
    auto made = com::make<Iterator>();
    made->Initialize(std::move(table));
    return com::as_interface<Interface>(made);
}

// `registry` takes the iterator's identity and its notification interface.
template <class Interface, class Iterator, class Table, class Registry>
com::com_ptr<Interface> make_registered_iterator(Table table, Registry& registry)
{
    auto made = com::make<Iterator>();
    made->Initialize(std::move(table));
    registry.add(static_cast<Interface*>(made.get()), made);
    return com::as_interface<Interface>(made);
}

} // namespace common
