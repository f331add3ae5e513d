#include "collection_members.h"

#include "host_object_calls.h"

#include "com/bstr.h"
#include "com/error.h"

namespace host {

namespace {

// A failure that IDispatch::Invoke reports in EXCEPINFO, as the callee raised it.
[[noreturn]] void throw_exception(EXCEPINFO& exception)
{
    if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
    // The texts are the caller's to free, the help file's too.
    const com::bstr source = com::bstr::attach(exception.bstrSource);
    const com::bstr description = com::bstr::attach(exception.bstrDescription);
    const com::bstr help_file = com::bstr::attach(exception.bstrHelpFile);
    const HRESULT code = exception.scode != 0 ? exception.scode : static_cast<HRESULT>(0x800A0000UL | exception.wCode);
    com::throw_with_new_info(code, source.view(), description.view());
}

com::com_ptr<IEnumVARIANT> enumerator_of(IDispatch& collection, std::wstring_view class_label)
{
    DISPPARAMS no_arguments{};
    com::variant result;
    EXCEPINFO exception{};
    UINT argument_error = 0;
    const HRESULT invoked =
        collection.Invoke(DISPID_NEWENUM, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                          &no_arguments, result.put(), &exception, &argument_error);
    if (invoked == DISP_E_EXCEPTION) throw_exception(exception);
    com::check(invoked, &collection);
    com::com_ptr<IEnumVARIANT> enumerator;
    IUnknown* object = com::object_in(*result.get());
    if (!object || FAILED(object->QueryInterface(IID_IEnumVARIANT, enumerator.put_void())))
        com::throw_with_new_info(DISP_E_TYPEMISMATCH, class_label, L"The collection cannot be enumerated.");
    return enumerator;
}

} // namespace

collection_members::collection_members(IDispatch& collection, std::wstring_view class_label)
    : class_label_(class_label), members_(enumerator_of(collection, class_label))
{}

bool collection_members::next(com::variant& member)
{
    ULONG fetched = 0;
    const HRESULT result = members_->Next(1, member.put(), &fetched);
    com::check(result, members_.get());
    return result == S_OK && fetched == 1;
}

com::com_ptr<HostObject> collection_members::next_host_object()
{
    com::variant member;
    if (!next(member)) return nullptr;
    return host_object_in(*member.get(), class_label_);
}

com::com_ptr<HostObject> host_object_in(const VARIANT& member, std::wstring_view class_label)
{
    IUnknown* object = com::object_in(member);
    if (!object)
        com::throw_with_new_info(DISP_E_TYPEMISMATCH, class_label, L"A member of the collection is not a host object.");
    return as_host_object(object, class_label);
}

} // namespace host
