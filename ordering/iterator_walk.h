#pragma once
// Walking an object or level iterator through its interface, as its users do:
// HasNext, then Next.

#include "com/com_ptr.h"
#include "com/error.h"

#include <string_view>

namespace ordering {

template <class Iterator> bool has_next(Iterator& iterator)
{
    VARIANT_BOOL more = VARIANT_FALSE;
    com::check(iterator.HasNext(&more), &iterator);
    return more != VARIANT_FALSE;
}

// Next, after HasNext said there is one: an iterator that then delivers nothing
// has lost track of its list (reported for `class_label`).
template <class Result, class Iterator> com::com_ptr<Result> next_of(Iterator& iterator, std::wstring_view class_label)
{
    com::com_ptr<Result> next;
    com::check(iterator.Next(next.put()), &iterator);
    if (!next)
        com::throw_with_new_info(E_POINTER, class_label, L"An iterator delivered nothing where it had announced more.");
    return next;
}

} // namespace ordering
