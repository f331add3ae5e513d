#pragma once
// The calls that the component makes on the host's metadata objects.

#include <K5TYPLIB.h>

#include "com/com_ptr.h"

#include <string>
#include <string_view>

namespace host {

// Throws for a failed call on a host object, with the error information the
// object left for it. The host hands its objects out as HostObject2, which
// derives from HostObject: only an object that answers S_FALSE for both
// through ISupportErrorInfo is taken to have set none.
void check_host_call(HRESULT result, HostObject& object);

// The object's ID text.
std::wstring id_of(HostObject& object);

// The collection of the object's related objects, as the host hands it out.
com::com_ptr<IDispatch> related_objects_of(HostObject& object);

// The object as a host object; a null object, or one that is not a host object,
// fails (reported for `class_label`).
com::com_ptr<HostObject> as_host_object(IUnknown* object, std::wstring_view class_label);

} // namespace host
