#include "related_objects.h"

#include "host/host_object_calls.h"

namespace ordering {

related_objects::related_objects(HostObject& object, std::wstring_view class_label)
    : members_(*host::related_objects_of(object), class_label)
{}

} // namespace ordering
