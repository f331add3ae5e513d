#include "com_testing.h"

namespace testing_support {

void expect_ok(HRESULT hr, const char* what)
{
    EXPECT_EQ(hr, S_OK) << what << " failed with 0x" << std::hex << static_cast<unsigned long>(hr);
}

failure failure_of(HRESULT hr)
{
    failure result;
    result.code = hr;
    com::com_ptr<IErrorInfo> info;
    if (::GetErrorInfo(0, info.put()) == S_OK && info) {
        com::bstr source, description;
        info->GetSource(source.put());
        info->GetDescription(description.put());
        result.source = source.str();
        result.description = description.str();
    }
    return result;
}

DISPID dispid_of(IDispatch& object, const wchar_t* name)
{
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    expect_ok(object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), "GetIDsOfNames");
    return id;
}

HRESULT invoke_with_object(IDispatch& target, const wchar_t* name, IDispatch* argument, VARIANT* result,
                           EXCEPINFO* exception, UINT* argument_error)
{
    VARIANT value;
    value.vt = VT_DISPATCH;
    value.pdispVal = argument;
    DISPPARAMS params = {&value, nullptr, 1, 0};
    return target.Invoke(dispid_of(target, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result,
                         exception, argument_error);
}

HRESULT component_can_unload_now()
{
    HMODULE module = ::GetModuleHandleW(L"K1MrgRls.dll");
    if (!module) return S_OK; // never loaded, or unloaded already
    auto can_unload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(::GetProcAddress(module, "DllCanUnloadNow")));
    return can_unload ? can_unload() : E_FAIL;
}

} // namespace testing_support
