#pragma once
// The table that an object list shares with its iterators, and the codes with
// which the lists tell their iterators of a change.

#include <K1PriTyp.h>

#include "common/keyed_table.h"

#include "com/com_ptr.h"

#include <string>

namespace ordering {

// The objects of an object list under their ID texts, in list order.
using object_table = common::shared_table<std::wstring, com::com_ptr<HostObject>>;

// Arguments of IKSQIteratorNotify::Notify; iterators ignore any other value.
inline constexpr long NotifyAdded = 1;
inline constexpr long NotifyRemoved = 2;

} // namespace ordering
