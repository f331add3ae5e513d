// The component as a careless or hostile client meets it: malformed IDispatch
// calls fail with the automation codes and store nothing, objects without a
// dispatch interface do not pretend to have one, null out-pointers fail with
// error information, and unbalanced factory unlocks cannot drive the count down.
#include "support/com_testing.h"
#include "support/sim_host.h"

#include <K1MrgRls.h>

#include "com/safearray.h"

#include <random>
#include <vector>

using namespace testing_support;

namespace {

VARIANT number(LONG value)
{
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

class HostileClientTest : public SimHostTest {
protected:
};

TEST_F(HostileClientTest, ObjectsWithoutADispatchInterfaceDoNotAnswerIDispatch)
{
    com::com_ptr<IClassFactory> factory;
    expect_ok(
        ::CoGetClassObject(CLSID_CMergeRules, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.put_void()));
    com::com_ptr<IDispatch> dispatch;
    EXPECT_EQ(factory->QueryInterface(IID_IDispatch, dispatch.put_void()), E_NOINTERFACE);

    // The simulated host's enumerators are made by the same template.
    auto folder = add_item(*host, L"F1", L"Shared", 8, L"");
    add_item(*host, L"R1", L"Sales", 3, L"\\Shared");
    // The folder interface's own IDispatch, which enumerates the contents.
    com::com_ptr<IDispatch> folder_dispatch(folder.try_as<HostFolder>().get());
    ASSERT_TRUE(folder_dispatch);
    DISPPARAMS none = {};
    com::variant result;
    expect_ok(folder_dispatch->Invoke(DISPID_NEWENUM, IID_NULL, LOCALE_USER_DEFAULT,
                                      DISPATCH_PROPERTYGET | DISPATCH_METHOD, &none, result.put(), nullptr, nullptr));
    ASSERT_TRUE(result.get()->vt == VT_UNKNOWN || result.get()->vt == VT_DISPATCH);
    com::com_ptr<IEnumVARIANT> enumerator = com::com_ptr<IUnknown>(result.get()->punkVal).try_as<IEnumVARIANT>();
    ASSERT_TRUE(enumerator);
    EXPECT_EQ(enumerator->QueryInterface(IID_IDispatch, dispatch.put_void()), E_NOINTERFACE);
}

TEST_F(HostileClientTest, MalformedNameRequestsAreRefused)
{
    auto rules = create<IKSQMergeRules>(CLSID_CMergeRules);
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"FindAction")};
    DISPID id = 0;
    EXPECT_EQ(rules->GetIDsOfNames(IID_NULL, nullptr, 1, LOCALE_USER_DEFAULT, &id), E_INVALIDARG);
    EXPECT_EQ(rules->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, nullptr), E_INVALIDARG);
    EXPECT_EQ(rules->GetIDsOfNames(IID_IKSQMergeRules, names, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNINTERFACE);
    LPOLESTR missing[] = {nullptr};
    EXPECT_EQ(rules->GetIDsOfNames(IID_NULL, missing, 1, LOCALE_USER_DEFAULT, &id), E_INVALIDARG);
}

TEST_F(HostileClientTest, AnObjectThatIsNotAHostObjectIsATypeMismatch)
{
    auto rules = create<IKSQMergeRules>(CLSID_CMergeRules);
    auto not_a_host_object = create<IDispatch>(CLSID_CLogSetting);
    com::variant result;
    UINT argument_error = 99;
    EXPECT_EQ(
        invoke_with_object(*rules, L"FindAction", not_a_host_object.get(), result.put(), nullptr, &argument_error),
        DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argument_error, 0u);
    const failure f = failure_of(DISP_E_TYPEMISMATCH);
    EXPECT_NE(f.description.find(L"HostObject"), std::wstring::npos) << testing::PrintToString(f.description);
}

TEST_F(HostileClientTest, NullOutPointersFailWithErrorInformation)
{
    auto rules = create<IKSQMergeRules>(CLSID_CMergeRules);
    auto object = add_item(*host, L"obj-1", L"One", 3, L"");
    failure f = failure_of(rules->FindAction(object.get(), nullptr));
    EXPECT_EQ(f.code, E_POINTER);
    EXPECT_EQ(f.source, L"CMergeRules");
    f = failure_of(rules->CreateObjectRuleIterator(nullptr));
    EXPECT_EQ(f.code, E_POINTER);
    EXPECT_EQ(f.source, L"CMergeRules");

    auto options = create<IKSQMergeOptions5>(CLSID_CMergeOptions);
    f = failure_of(options->get_TVOnOffMergeOptions(nullptr));
    EXPECT_EQ(f.code, E_POINTER);
    EXPECT_EQ(f.source, L"CMergeOptions");
    auto setting = create<IKSQLogSetting>(CLSID_CLogSetting);
    f = failure_of(setting->get_LogFile(nullptr));
    EXPECT_EQ(f.code, E_POINTER);
    EXPECT_EQ(f.source, L"CLogSetting");

    com::com_ptr<IClassFactory> factory;
    expect_ok(
        ::CoGetClassObject(CLSID_CMergeRules, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.put_void()));
    EXPECT_EQ(failure_of(factory->CreateInstance(nullptr, IID_IUnknown, nullptr)).code, E_POINTER);
}

// Locks (or unlocks) the server twice through a class factory of its own, which
// is released afterwards.
void lock_server_twice(BOOL lock)
{
    com::com_ptr<IClassFactory> factory;
    expect_ok(
        ::CoGetClassObject(CLSID_CLogSetting, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.put_void()));
    expect_ok(factory->LockServer(lock));
    expect_ok(factory->LockServer(lock));
}

TEST_F(HostileClientTest, UnbalancedUnlocksCannotDriveTheLockCountBelowZero)
{
    lock_server_twice(FALSE);
    host.reset();
    EXPECT_EQ(component_can_unload_now(), S_OK) << "nothing alive, nothing locked";

    lock_server_twice(TRUE);
    EXPECT_EQ(component_can_unload_now(), S_FALSE) << "two locks held";
    lock_server_twice(FALSE);
    EXPECT_EQ(component_can_unload_now(), S_OK);
}

// Thousands of random calls through IDispatch: any member, any kind of call,
// any number of arguments of assorted types, named or not. None may crash, and
// none may leave an object of the component or of the host alive.
TEST_F(HostileClientTest, RandomMalformedCallsNeitherCrashNorLeak)
{
    auto host_object = add_item(*host, L"obj-r", L"Random", 201, L"");
    long live_before = 0;
    expect_ok(host->get_LiveObjects(&live_before));
    {
        std::vector<com::com_ptr<IDispatch>> targets = {
            create<IKSQMergeRules>(CLSID_CMergeRules).try_as<IDispatch>(),
            com::com_ptr<IDispatch>(create<IKSQMergeRules>(CLSID_CMergeRules).try_as<IKSQMergeRules2>().get()),
            create<IKSQMergeOptions>(CLSID_CMergeOptions).try_as<IDispatch>(),
            com::com_ptr<IDispatch>(create<IKSQMergeOptions>(CLSID_CMergeOptions).try_as<IKSQMergeOptions5>().get()),
            com::com_ptr<IDispatch>(create<IKSQLogSettings>(CLSID_CLogSettings).get()),
            com::com_ptr<IDispatch>(create<IKSQLogSetting>(CLSID_CLogSetting).get()),
            com::com_ptr<IDispatch>(create<IKSQFolderRule>(CLSID_CFolderRule).get()),
        };
        std::mt19937 random(20261209);
        const DISPID ids[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0x60020000, 0x60030012, DISPID_NEWENUM, -1, 99};
        const WORD flags[] = {0,
                              DISPATCH_METHOD,
                              DISPATCH_PROPERTYGET,
                              DISPATCH_PROPERTYGET | DISPATCH_METHOD,
                              DISPATCH_PROPERTYPUT,
                              DISPATCH_PROPERTYPUTREF,
                              0xFF};
        long long_value = 5;
        BSTR text_value = ::SysAllocString(L"\\x");
        IDispatch* object_value = host_object.try_as<IDispatch>().detach();
        int failures = 0;
        for (int call = 0; call < 4000; ++call) {
            IDispatch& target = *targets[random() % targets.size()];
            VARIANT arguments[4];
            const UINT count = random() % 4;
            for (UINT i = 0; i < count; ++i) {
                ::VariantInit(&arguments[i]);
                switch (random() % 7) {
                case 0:
                    arguments[i] = number(static_cast<LONG>(random()));
                    break;
                case 1:
                    arguments[i].vt = VT_BSTR;
                    arguments[i].bstrVal = text_value;
                    break;
                case 2:
                    arguments[i].vt = VT_DISPATCH;
                    arguments[i].pdispVal = object_value;
                    break;
                case 3:
                    arguments[i].vt = VT_DISPATCH;
                    arguments[i].pdispVal = nullptr;
                    break;
                case 4:
                    arguments[i].vt = VT_I4 | VT_BYREF;
                    arguments[i].plVal = &long_value;
                    break;
                case 5:
                    arguments[i].vt = VT_DISPATCH | VT_BYREF;
                    arguments[i].ppdispVal = &object_value;
                    break;
                default:
                    arguments[i].vt = VT_I4 | VT_BYREF;
                    arguments[i].plVal = nullptr;
                    break;
                }
            }
            DISPID named[2] = {DISPID_PROPERTYPUT, static_cast<DISPID>(random() % 4)};
            const UINT named_count = count == 0 ? 0 : random() % 2;
            DISPPARAMS params = {arguments, named + (random() % 2), count, named_count};
            com::variant result;
            EXCEPINFO exception = {};
            UINT argument_error = 0;
            const HRESULT hr =
                target.Invoke(ids[random() % std::size(ids)], IID_NULL, LOCALE_USER_DEFAULT,
                              flags[random() % std::size(flags)], &params, result.put(), &exception, &argument_error);
            if (FAILED(hr)) ++failures;
            ::SysFreeString(exception.bstrSource);
            ::SysFreeString(exception.bstrDescription);
            ::SysFreeString(exception.bstrHelpFile);
            // The callee may have replaced by-reference arguments.
            if (object_value == nullptr) object_value = host_object.try_as<IDispatch>().detach();
        }
        EXPECT_GT(failures, 3000);
        if (object_value) object_value->Release();
        ::SysFreeString(text_value);
    }
    long live_after = 0;
    expect_ok(host->get_LiveObjects(&live_after));
    EXPECT_EQ(live_after, live_before);
    host_object.reset();
    expect_ok(host->ClearObjects());
    host.reset();
    EXPECT_EQ(component_can_unload_now(), S_OK);
}

} // namespace
