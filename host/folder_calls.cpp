#include "folder_calls.h"

#include "host_object_calls.h"

#include "com/bstr.h"
#include "com/error.h"

namespace host {

std::wstring full_path_of(HostObject& object)
{
    com::bstr path;
    check_host_call(object.get_FullPath(path.put()), object);
    return path.str();
}

LONG type_code_of(HostObject& object)
{
    LONG type = 0;
    check_host_call(object.get_TypeCode(&type), object);
    return type;
}

com::com_ptr<HostFolder> as_host_folder(HostObject& object, std::wstring_view class_label)
{
    com::com_ptr<HostFolder> folder;
    const HRESULT result = object.QueryInterface(IID_HostFolder, folder.put_void());
    if (FAILED(result)) com::throw_with_new_info(result, class_label, L"The object is not a host folder.");
    return folder;
}

com::com_ptr<HostObject> folder_object_of(HostFolder& folder)
{
    com::com_ptr<HostObject> object;
    com::check(folder.get_FolderObject(object.put()), &folder);
    if (!object) com::throw_with_new_info(E_POINTER, L"HostFolder", L"The host gave no object for the folder.");
    return object;
}

collection_members contents_of(HostFolder& folder, std::wstring_view class_label)
{
    // A dual interface is its own IDispatch.
    return collection_members(folder, class_label);
}

} // namespace host
