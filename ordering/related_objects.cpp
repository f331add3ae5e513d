#include "related_objects.h"

#include "host/host_object_calls.h"

#include "com/bstr.h"
#include "com/error.h"
#include "com/safearray.h"

namespace ordering {

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
    com::throw_error(code, source.view(), description.view());
}

// The object an enumerator's member holds; null for any other value.
IUnknown* object_in(const VARIANT& member) noexcept
{
    switch (member.vt) {
    case VT_DISPATCH:
        return member.pdispVal;
    case VT_UNKNOWN:
        return member.punkVal;
    case VT_DISPATCH | VT_BYREF:
        return member.ppdispVal ? *member.ppdispVal : nullptr;
    case VT_UNKNOWN | VT_BYREF:
        return member.ppunkVal ? *member.ppunkVal : nullptr;
    default:
        return nullptr;
    }
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
    IUnknown* object = object_in(*result.get());
    if (!object || FAILED(object->QueryInterface(IID_IEnumVARIANT, enumerator.put_void())))
        com::throw_error(DISP_E_TYPEMISMATCH, class_label, L"The related objects cannot be enumerated.");
    return enumerator;
}

} // namespace

related_objects::related_objects(HostObject& object, std::wstring_view class_label)
    : class_label_(class_label), members_(enumerator_of(*host::related_objects_of(object), class_label))
{}

com::com_ptr<HostObject> related_objects::next()
{
    com::variant member;
    ULONG fetched = 0;
    const HRESULT result = members_->Next(1, member.put(), &fetched);
    com::check(result, members_.get());
    if (result != S_OK || fetched != 1) return nullptr;
    IUnknown* object = object_in(*member.get());
    if (!object) com::throw_error(DISP_E_TYPEMISMATCH, class_label_, L"A related object is not a host object.");
    return host::as_host_object(object, class_label_);
}

} // namespace ordering
