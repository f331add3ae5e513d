#include "host_object_calls.h"

#include "com/bstr.h"
#include "com/error.h"

namespace host {

void check_host_call(HRESULT result, HostObject& object)
{
    if (SUCCEEDED(result)) return;
    // The host hands its objects out as HostObject2: its error information counts
    // unless the object disowns it for both interfaces.
    throw com::com_error(result, com::callee_error_info(&object, {IID_HostObject, IID_HostObject2}));
}

std::wstring id_of(HostObject& object)
{
    com::bstr id;
    check_host_call(object.get_ID(id.put()), object);
    return id.str();
}

com::com_ptr<IDispatch> related_objects_of(HostObject& object)
{
    com::com_ptr<IDispatch> related;
    check_host_call(object.get_RelatedObjects(related.put()), object);
    if (!related)
        com::throw_with_new_info(E_POINTER, L"HostObject", L"The host gave no collection of related objects.");
    return related;
}

com::com_ptr<HostObject> as_host_object(IUnknown* object, std::wstring_view class_label)
{
    if (!object) com::throw_with_new_info(E_POINTER, class_label, L"No object was given.");
    com::com_ptr<HostObject> host_object;
    const HRESULT result = object->QueryInterface(IID_HostObject, host_object.put_void());
    if (FAILED(result)) com::throw_with_new_info(result, class_label, L"The object is not a host object.");
    return host_object;
}

} // namespace host
