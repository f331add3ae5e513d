#pragma once
// A host object's related objects, in the collection's order.

#include <K5TYPLIB.h>

#include "host/collection_members.h"

#include "com/com_ptr.h"

#include <string_view>

namespace ordering {

class related_objects {
public:
    // Reads the object's RelatedObjects and asks the collection for its
    // enumerator; failures are reported for `class_label`.
    related_objects(HostObject& object, std::wstring_view class_label);

    // The next member as a host object; null after the last one. A member that is
    // not a host object fails.
    com::com_ptr<HostObject> next() { return members_.next_host_object(); }

private:
    host::collection_members members_;
};

} // namespace ordering
