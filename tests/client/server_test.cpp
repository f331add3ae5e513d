// The server as the host meets it: the class factory, the interfaces each object
// answers, and unloading.
#include "support/com_testing.h"
#include "support/sim_host.h"

#include <K1MrgRls.h>

using namespace testing_support;

namespace {

HRESULT class_object(REFCLSID clsid, com::com_ptr<IClassFactory>& factory)
{
    return ::CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.put_void());
}

template <class I> bool answers(IUnknown* object)
{
    com::com_ptr<I> i = com::com_ptr<IUnknown>(object).try_as<I>();
    if (!i) return false;
    // Every interface leads back to the same object.
    return com::identity_of(i.get()).get() == com::identity_of(object).get();
}

TEST(ServerTest, CreatableClassesComeFromTheFactory)
{
    for (const CLSID* clsid : {&CLSID_CMergeOptions, &CLSID_CLogSetting, &CLSID_CLogSettings}) {
        com::com_ptr<IClassFactory> factory;
        expect_ok(class_object(*clsid, factory));
        com::com_ptr<IUnknown> object;
        expect_ok(factory->CreateInstance(nullptr, IID_IUnknown, object.put_void()));
        EXPECT_TRUE(object);
    }
}

TEST(ServerTest, IteratorsAndUnknownClassesAreRefused)
{
    const CLSID unknown = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    for (const CLSID* clsid : {&CLSID_CLogSettingsIterator, &unknown}) {
        com::com_ptr<IClassFactory> factory;
        EXPECT_TRUE(FAILED(class_object(*clsid, factory)));
        com::com_ptr<IUnknown> object;
        EXPECT_TRUE(FAILED(::CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.put_void())));
    }
    // The component itself refuses the iterator, though it is registered.
    HMODULE module = ::GetModuleHandleW(L"K1MrgRls.dll");
    ASSERT_TRUE(module);
    auto get_class_object = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
        reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
    void* factory = nullptr;
    EXPECT_EQ(get_class_object(CLSID_CLogSettingsIterator, IID_IClassFactory, &factory), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(factory, nullptr);
}

TEST(ServerTest, FactoryRefusesAggregation)
{
    com::com_ptr<IClassFactory> factory;
    expect_ok(class_object(CLSID_CMergeOptions, factory));
    auto outer = create<IUnknown>(CLSID_CLogSetting);
    com::com_ptr<IUnknown> object;
    EXPECT_EQ(factory->CreateInstance(outer.get(), IID_IUnknown, object.put_void()), CLASS_E_NOAGGREGATION);
}

TEST(ServerTest, ObjectsAnswerTheirInterfaces)
{
    auto options = create<IUnknown>(CLSID_CMergeOptions);
    EXPECT_TRUE(answers<_CMergeOptions>(options.get()));
    EXPECT_TRUE(answers<IKSQMergeOptions>(options.get()));
    EXPECT_TRUE(answers<IKSQMergeOptions2>(options.get()));
    EXPECT_TRUE(answers<IKSQMergeOptions3>(options.get()));
    EXPECT_TRUE(answers<IKSQMergeOptions4>(options.get()));
    EXPECT_TRUE(answers<IKSQMergeOptions5>(options.get()));
    EXPECT_TRUE(answers<IKSQTransvaneOptions>(options.get()));
    EXPECT_TRUE(answers<IDispatch>(options.get()));
    EXPECT_TRUE(answers<ISupportErrorInfo>(options.get()));
    EXPECT_FALSE(answers<IKSQLogSetting>(options.get()));

    auto setting = create<IUnknown>(CLSID_CLogSetting);
    EXPECT_TRUE(answers<_CLogSetting>(setting.get()));
    EXPECT_TRUE(answers<IKSQLogSetting>(setting.get()));

    auto settings = create<IKSQLogSettings>(CLSID_CLogSettings);
    EXPECT_TRUE(answers<_CLogSettings>(settings.get()));
    com::com_ptr<IKSQLogSettingsIterator> iterator;
    expect_ok(settings->CreateIterator(iterator.put()));
    EXPECT_TRUE(answers<_CLogSettingsIterator>(iterator.get()));
    EXPECT_TRUE(answers<IKSQLogSettingsIterator>(iterator.get()));
}

TEST(ServerTest, ErrorInformationIsOfferedForEveryInterface)
{
    auto options = create<ISupportErrorInfo>(CLSID_CMergeOptions);
    for (const IID* iid :
         {&IID_IKSQMergeOptions, &IID_IKSQMergeOptions5, &IID_IKSQTransvaneOptions, &IID__CMergeOptions})
        EXPECT_EQ(options->InterfaceSupportsErrorInfo(*iid), S_OK);
    EXPECT_EQ(options->InterfaceSupportsErrorInfo(IID_IKSQLogSetting), S_FALSE) << "an interface it does not answer";
}

TEST(ServerTest, ServerCanUnloadOnceEverythingIsReleased)
{
    {
        auto options = create<IUnknown>(CLSID_CMergeOptions);
        EXPECT_EQ(component_can_unload_now(), S_FALSE);
    }
    EXPECT_EQ(component_can_unload_now(), S_OK);

    com::com_ptr<IClassFactory> factory;
    expect_ok(class_object(CLSID_CLogSettings, factory));
    expect_ok(factory->LockServer(TRUE));
    factory.reset();
    EXPECT_EQ(component_can_unload_now(), S_FALSE);
    expect_ok(class_object(CLSID_CLogSettings, factory));
    expect_ok(factory->LockServer(FALSE));
    factory.reset();
    EXPECT_EQ(component_can_unload_now(), S_OK);
}

} // namespace
