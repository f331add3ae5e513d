// Late binding: every interface's IDispatch dispatches on that interface, from
// the embedded type library, and failures arrive as DISP_E_EXCEPTION.
#include "support/com_testing.h"
#include "support/sim_host.h"

#include <K1MrgRls.h>

using namespace testing_support;

namespace {

HRESULT put_property(IDispatch* object, const wchar_t* name, LONG value, EXCEPINFO* exception = nullptr)
{
    VARIANT argument;
    argument.vt = VT_I4;
    argument.lVal = value;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&argument, &named, 1, 1};
    EXCEPINFO ignored = {};
    return object->Invoke(dispid_of(*object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                          nullptr, exception ? exception : &ignored, nullptr);
}

LONG get_property(IDispatch* object, const wchar_t* name)
{
    DISPPARAMS none = {};
    VARIANT result;
    ::VariantInit(&result);
    expect_ok(object->Invoke(dispid_of(*object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                             &result, nullptr, nullptr),
              "Invoke");
    EXPECT_EQ(result.vt, VT_I4);
    return result.lVal;
}

template <class I> com::com_ptr<IDispatch> dispatch_of(const com::com_ptr<IUnknown>& object)
{
    com::com_ptr<I> i = object.try_as<I>();
    return com::com_ptr<IDispatch>(i.get()); // the interface's own IDispatch
}

TEST(DispatchTest, EachOptionsInterfaceDispatchesOnItself)
{
    auto host = sim_host();
    expect_ok(host->Reset());
    auto options = create<IUnknown>(CLSID_CMergeOptions);
    const std::vector<std::pair<const wchar_t*, com::com_ptr<IDispatch>>> interfaces = {
        {L"IKSQMergeOptions", dispatch_of<IKSQMergeOptions>(options)},
        {L"IKSQMergeOptions2", dispatch_of<IKSQMergeOptions2>(options)},
        {L"IKSQMergeOptions3", dispatch_of<IKSQMergeOptions3>(options)},
        {L"IKSQMergeOptions4", dispatch_of<IKSQMergeOptions4>(options)},
        {L"IKSQMergeOptions5", dispatch_of<IKSQMergeOptions5>(options)},
    };
    for (const auto& [name, dispatch] : interfaces) {
        expect_ok(host->ClearTrace());
        EXPECT_EQ(get_property(dispatch.get(), L"CopyACLOption"), 1);
        const std::wstring label = std::wstring(L"CMergeOptions ") + name + L"_CopyACLOption";
        EXPECT_EQ(trace_lines(*host).front(), L"Enter " + label) << "dispatched on " << name;

        EXCEPINFO exception = {};
        EXPECT_EQ(put_property(dispatch.get(), L"CopyACLOption", 3, &exception), DISP_E_EXCEPTION);
        EXPECT_EQ(exception.scode, numbered(63604));
        EXPECT_EQ(com::bstr::view_of(exception.bstrSource), L"CMergeOptions");
        EXPECT_NE(com::bstr::view_of(exception.bstrDescription).find(L"3"), std::wstring_view::npos);
        ::SysFreeString(exception.bstrSource);
        ::SysFreeString(exception.bstrDescription);
        ::SysFreeString(exception.bstrHelpFile);
    }
    auto transvane = dispatch_of<IKSQTransvaneOptions>(options);
    expect_ok(put_property(transvane.get(), L"CopyFolder", -4));
    EXPECT_EQ(get_property(transvane.get(), L"CopyFolder"), -4);
}

TEST(DispatchTest, LogInterfacesDispatchOnThemselves)
{
    auto setting = create<IUnknown>(CLSID_CLogSetting);
    auto dispatch = dispatch_of<IKSQLogSetting>(setting);
    expect_ok(put_property(dispatch.get(), L"LogLevel", 9));
    EXPECT_EQ(get_property(dispatch.get(), L"LogLevel"), 9);

    auto settings = create<IUnknown>(CLSID_CLogSettings);
    auto settings_dispatch = dispatch_of<IKSQLogSettings>(settings);
    EXCEPINFO exception = {};
    // The setting's name is empty: 63610 arrives as an exception.
    EXPECT_EQ(invoke_with_object(*settings_dispatch, L"Add", dispatch.get(), nullptr, &exception), DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, numbered(63610));
    EXPECT_EQ(com::bstr::view_of(exception.bstrSource), L"CLogSettings");
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrHelpFile);
}

TEST(DispatchTest, DefaultInterfaceIsTheObjectsIDispatch)
{
    auto options = create<IUnknown>(CLSID_CMergeOptions);
    com::com_ptr<IDispatch> dispatch = options.try_as<IDispatch>();
    ASSERT_TRUE(dispatch);
    com::com_ptr<ITypeInfo> info;
    expect_ok(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put()));
    TYPEATTR* attributes = nullptr;
    expect_ok(info->GetTypeAttr(&attributes));
    EXPECT_TRUE(IsEqualGUID(attributes->guid, IID__CMergeOptions));
    info->ReleaseTypeAttr(attributes);
}

} // namespace
