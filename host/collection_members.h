#pragma once
// The members of a host collection, enumerated as automation clients do: the
// collection's _NewEnum member through IDispatch::Invoke, then IEnumVARIANT, one
// member at a time, in the collection's order. Related objects, a folder's
// direct contents and a search's results are all read this way.

#include <K5TYPLIB.h>

#include "com/com_ptr.h"
#include "com/variant.h"

#include <oaidl.h>

#include <string_view>

namespace host {

class collection_members {
public:
    // Asks the collection for its enumerator; failures are reported for `class_label`.
    collection_members(IDispatch& collection, std::wstring_view class_label);

    // The next member as it is; false after the last one.
    bool next(com::variant& member);

    // The next member as a host object; null after the last one. A member that is
    // not a host object fails.
    com::com_ptr<HostObject> next_host_object();

private:
    std::wstring_view class_label_;
    com::com_ptr<IEnumVARIANT> members_;
};

// The host object that a member holds; anything else fails (reported for `class_label`).
com::com_ptr<HostObject> host_object_in(const VARIANT& member, std::wstring_view class_label);

} // namespace host
