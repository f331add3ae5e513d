// Smoke checks of the four ways a failing service or host object reports errors.

#include "smoke_support.h"

#include <K1PriTyp.h>
#include <K5TYPLIB.h>

namespace smoke {

namespace {

constexpr HRESULT injected = static_cast<HRESULT>(0x80047777);

void inject(ISimHostControl& host, const wchar_t* operation)
{
    host.InjectFailure(com::bstr(operation).get(), 1, injected, com::bstr(L"injected").get());
}

HRESULT set_mode(ISimHostControl& host, const wchar_t* target, long mode)
{
    return host.SetErrorInfoMode(com::bstr(target).get(), mode);
}

// Sets the thread's error information to a marker text.
void set_marker()
{
    com::com_ptr<ICreateErrorInfo> made;
    ::CreateErrorInfo(made.put());
    made->SetDescription(const_cast<LPOLESTR>(L"marker"));
    com::com_ptr<IErrorInfo> info;
    made->QueryInterface(IID_IErrorInfo, info.put_void());
    ::SetErrorInfo(0, info.get());
}

HRESULT supports_error_info(IUnknown& object, REFIID iid)
{
    com::com_ptr<ISupportErrorInfo> support;
    if (FAILED(object.QueryInterface(IID_ISupportErrorInfo, support.put_void()))) return E_NOINTERFACE;
    return support->InterfaceSupportsErrorInfo(iid);
}

HRESULT describe_type(ITypeNameService& service)
{
    long type = 8;
    com::bstr text;
    return service.DescribeObjectType(&type, text.put());
}

} // namespace

void check_error_modes(ISimHostControl& host)
{
    expect(set_mode(host, L"Nothing", 0) == E_INVALIDARG && set_mode(host, L"HostObjects", 4) == E_INVALIDARG,
           "SetErrorInfoMode refuses an unknown target or mode");

    auto names = create<ITypeNameService>(CLSID_TypeNameService);
    if (!names) return;
    expect(supports_error_info(*names, __uuidof(ITypeNameService)) == S_OK, "mode 0: ISupportErrorInfo says S_OK");
    inject(host, L"TypeNameService.DescribeObjectType");
    expect(describe_type(*names) == injected && current_error().description == L"injected",
           "mode 0: the failure sets error information");

    set_mode(host, L"TypeNameService", 1);
    expect(supports_error_info(*names, __uuidof(ITypeNameService)) == E_NOINTERFACE, "mode 1: no ISupportErrorInfo");
    inject(host, L"TypeNameService.DescribeObjectType");
    expect(describe_type(*names) == injected && current_error().description == L"injected",
           "mode 1: error information is still set");

    set_mode(host, L"TypeNameService", 2);
    expect(supports_error_info(*names, __uuidof(ITypeNameService)) == S_FALSE,
           "mode 2: ISupportErrorInfo says S_FALSE");

    com::com_ptr<HostObject> item;
    host.AddItem(com::bstr(L"I").get(), com::bstr(L"Item").get(), 5, 0, com::bstr(L"").get(), item.put());
    if (!item) return;
    set_mode(host, L"HostObjects", 3);
    expect(supports_error_info(*item, __uuidof(HostObject)) == S_OK, "mode 3: ISupportErrorInfo says S_OK");
    inject(host, L"HostObject.TypeCode");
    set_marker();
    long type = 0;
    expect(item->get_TypeCode(&type) == injected && current_error().description == L"marker",
           "mode 3: the failure leaves the thread's error information alone");

    host.Reset();
    expect(supports_error_info(*names, __uuidof(ITypeNameService)) == S_OK &&
               supports_error_info(*item, __uuidof(HostObject)) == S_OK,
           "Reset restores mode 0");
    host.ClearObjects();
}

} // namespace smoke
