// The class catalogue as a host meets it through the registered DLL: which
// classes it creates, by class identifier and by ProgID, and which interfaces
// every object answers, including the objects it hands out.
#include "support/com_testing.h"
#include "support/sim_host.h"

#include <K1MrgRls.h>
#include <K1PriTyp.h>

#include <ocidl.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

struct catalogued_class {
    const wchar_t* name;
    const CLSID* clsid;
    bool creatable;
    std::vector<const IID*> interfaces; // default first, then the IKSQ interfaces
};

const std::vector<catalogued_class>& catalogue()
{
    static const std::vector<catalogued_class> classes = {
        {L"CMergeRules",
         &CLSID_CMergeRules,
         true,
         {&IID__CMergeRules, &IID_CMergeRules___v0, &IID_IKSQMergeRules, &IID_IKSQMergeRules2}},
        {L"CMergeOptions",
         &CLSID_CMergeOptions,
         true,
         {&IID__CMergeOptions, &IID_IKSQMergeOptions, &IID_IKSQTransvaneOptions, &IID_IKSQMergeOptions3,
          &IID_IKSQMergeOptions4, &IID_IKSQMergeOptions2, &IID_IKSQMergeOptions5}},
        {L"CLogSetting", &CLSID_CLogSetting, true, {&IID__CLogSetting, &IID_IKSQLogSetting}},
        {L"CLogSettings", &CLSID_CLogSettings, true, {&IID__CLogSettings, &IID_IKSQLogSettings}},
        {L"CLogSettingsIterator",
         &CLSID_CLogSettingsIterator,
         false,
         {&IID__CLogSettingsIterator, &IID_IKSQLogSettingsIterator}},
        {L"CCategoryRuleIterator",
         &CLSID_CCategoryRuleIterator,
         false,
         {&IID__CCategoryRuleIterator, &IID_IKSQCategoryRuleIterator}},
        {L"CObjectRuleIterator",
         &CLSID_CObjectRuleIterator,
         false,
         {&IID__CObjectRuleIterator, &IID_IKSQObjectRuleIterator}},
        {L"CObjectTypeRuleIterator",
         &CLSID_CObjectTypeRuleIterator,
         false,
         {&IID__CObjectTypeRuleIterator, &IID_IKSQObjectTypeRuleIterator}},
        {L"CFolderRule", &CLSID_CFolderRule, true, {&IID__CFolderRule, &IID_IKSQFolderRule}},
        {L"CFolderRuleIterator",
         &CLSID_CFolderRuleIterator,
         true,
         {&IID__CFolderRuleIterator, &IID_IKSQFolderRuleIterator}},
    };
    return classes;
}

// Every interface identifier an object of the component might wrongly answer:
// the component's, the host's and the usual optional COM interfaces.
const std::vector<const IID*>& known_interfaces()
{
    static const std::vector<const IID*> iids = {
        &IID__CMergeRules, &IID_CMergeRules___v0, &IID__CMergeOptions, &IID__CLogSetting, &IID__CLogSettings,
        &IID__CLogSettingsIterator, &IID__CCategoryRuleIterator, &IID__CObjectRuleIterator,
        &IID__CObjectTypeRuleIterator, &IID__CFolderRule, &IID__CFolderRuleIterator,
        // Host administration library.
        &IID_IKSQCategoryRule, &IID_IKSQObjectTypeRule, &IID_IKSQObjectRule, &IID_IKSQFolderRule,
        &IID_IKSQCategoryRuleIterator, &IID_IKSQObjectTypeRuleIterator, &IID_IKSQObjectRuleIterator,
        &IID_IKSQFolderRuleIterator, &IID_IKSQMergeRules, &IID_IKSQMergeRules2, &IID_IKSQMergeOptions,
        &IID_IKSQMergeOptions2, &IID_IKSQTransvaneOptions, &IID_IKSQMergeOptions3, &IID_IKSQMergeOptions4,
        &IID_IKSQMergeOptions5, &IID_IKSQLogSetting, &IID_IKSQLogSettingsIterator, &IID_IKSQLogSettings,
        // Host private library.
        &IID_IKSQIteratorNotify, &IID_IKSQObjectIterator, &IID_IKSQObjectList, &IID_IKSQLevelIterator,
        &IID_IKSQLevelList, &IID_IKSQSortApplicationObjects, &IID_ITraceService, &IID_IHostUtility,
        // Host object model.
        &IID_HostObject, &IID_HostSession,
        // Optional COM interfaces.
        &IID_IProvideClassInfo, &IID_IConnectionPointContainer, &IID_IPersist, &IID_IPersistStreamInit, &IID_IMarshal,
        &IID_IClassFactory, &IID_IEnumVARIANT, &IID_IObjectWithSite};
    return iids;
}

std::string name_of(const IID& iid)
{
    wchar_t text[64] = {};
    ::StringFromGUID2(iid, text, 64);
    std::string narrow;
    for (const wchar_t* c = text; *c; ++c)
        narrow += static_cast<char>(*c);
    return narrow;
}

// The object answers IUnknown, IDispatch, ISupportErrorInfo and `expected`, every
// one leading back to the same IUnknown, and no other known interface.
void expect_exactly(IUnknown* object, const std::vector<const IID*>& expected, const std::wstring& what)
{
    SCOPED_TRACE(std::string(what.begin(), what.end()));
    ASSERT_TRUE(object);
    com::com_ptr<IUnknown> identity;
    ASSERT_EQ(object->QueryInterface(IID_IUnknown, identity.put_void()), S_OK);
    std::vector<const IID*> answered = expected;
    answered.insert(answered.end(), {&IID_IDispatch, &IID_ISupportErrorInfo});
    for (const IID* iid : answered) {
        com::com_ptr<IUnknown> i;
        ASSERT_EQ(object->QueryInterface(*iid, i.put_void()), S_OK) << name_of(*iid);
        com::com_ptr<IUnknown> back;
        ASSERT_EQ(i->QueryInterface(IID_IUnknown, back.put_void()), S_OK);
        EXPECT_EQ(back.get(), identity.get()) << "IUnknown identity through " << name_of(*iid);
        // Asking again through this interface gives the same answers.
        com::com_ptr<IUnknown> again;
        EXPECT_EQ(i->QueryInterface(*answered.front(), again.put_void()), S_OK);
    }
    for (const IID* iid : known_interfaces()) {
        if (std::any_of(answered.begin(), answered.end(), [&](const IID* a) { return IsEqualIID(*a, *iid); })) continue;
        void* i = reinterpret_cast<void*>(1);
        EXPECT_EQ(object->QueryInterface(*iid, &i), E_NOINTERFACE) << name_of(*iid);
        EXPECT_EQ(i, nullptr);
    }
}

HRESULT get_class_object(REFCLSID clsid, void** factory)
{
    HMODULE module = ::GetModuleHandleW(L"K1MrgRls.dll");
    if (!module) {
        // Load it through COM first.
        com::com_ptr<IUnknown> loaded;
        ::CoCreateInstance(CLSID_CLogSetting, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, loaded.put_void());
        module = ::GetModuleHandleW(L"K1MrgRls.dll");
    }
    EXPECT_TRUE(module);
    auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
        reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
    return entry(clsid, IID_IClassFactory, factory);
}

TEST(CatalogueTest, CreatableClassesByClassIdentifierAndByProgId)
{
    int creatable = 0;
    for (const catalogued_class& c : catalogue()) {
        if (!c.creatable) continue;
        ++creatable;
        SCOPED_TRACE(std::string(c.name, c.name + wcslen(c.name)));
        const std::wstring prog_id = std::wstring(L"K1MrgRls.") + c.name;
        CLSID found = {};
        expect_ok(::CLSIDFromProgID(prog_id.c_str(), &found), "CLSIDFromProgID");
        EXPECT_TRUE(IsEqualCLSID(found, *c.clsid));

        com::com_ptr<IUnknown> by_clsid;
        expect_ok(::CoCreateInstance(*c.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, by_clsid.put_void()));
        com::com_ptr<IUnknown> by_prog_id;
        expect_ok(
            ::CoCreateInstance(found, nullptr, CLSCTX_INPROC_SERVER, *c.interfaces.front(), by_prog_id.put_void()));
        EXPECT_TRUE(by_clsid && by_prog_id);
        EXPECT_NE(by_clsid.get(), by_prog_id.get()) << "each creation makes a new object";
    }
    EXPECT_EQ(creatable, 6);
}

TEST(CatalogueTest, EveryOtherClassIdentifierIsRefused)
{
    std::vector<const CLSID*> refused;
    for (const catalogued_class& c : catalogue())
        if (!c.creatable) refused.push_back(c.clsid);
    EXPECT_EQ(refused.size(), 4u);
    const CLSID unknown = {0x99E70218, 0x5C2C, 0x11D5, {0xBE, 0xB1, 0x00, 0xC0, 0x4F, 0x4F, 0x04, 0x1C}};
    // Identifiers that are not classes: the library's, interfaces', none.
    for (const CLSID* clsid : {&unknown, &LIBID_K1MrgRls, &IID__CMergeRules, &IID_IKSQMergeRules, &GUID_NULL})
        refused.push_back(clsid);
    for (const CLSID* clsid : refused) {
        void* factory = reinterpret_cast<void*>(1);
        EXPECT_EQ(get_class_object(*clsid, &factory), CLASS_E_CLASSNOTAVAILABLE) << name_of(*clsid);
        EXPECT_EQ(factory, nullptr);
    }
    // Through COM the registered but non-creatable classes fail the same way.
    for (const catalogued_class& c : catalogue()) {
        if (c.creatable) continue;
        com::com_ptr<IUnknown> object;
        EXPECT_EQ(::CoCreateInstance(*c.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.put_void()),
                  CLASS_E_CLASSNOTAVAILABLE)
            << name_of(*c.clsid);
        EXPECT_FALSE(object);
    }
}

TEST(CatalogueTest, PrivateClassesHaveNoClassIdentifier)
{
    for (const wchar_t* name :
         {L"CCategoryRule", L"CObjectTypeRule", L"CObjectRule", L"CSortApplicationByLevels", L"CObjectList",
          L"CLevelList", L"CObjectListIterator", L"CLevelListIterator", L"CLevelReverseListIterator"}) {
        CLSID found = {};
        EXPECT_TRUE(FAILED(::CLSIDFromProgID((std::wstring(L"K1MrgRls.") + name).c_str(), &found)))
            << std::string(name, name + wcslen(name));
    }
    // The type library holds the ten public classes and nothing else that can be created.
    com::com_ptr<ITypeLib> library;
    expect_ok(::LoadRegTypeLib(LIBID_K1MrgRls, 1, 2, 0, library.put()), "LoadRegTypeLib");
    std::vector<std::wstring> coclasses;
    for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
        TYPEKIND kind{};
        expect_ok(library->GetTypeInfoType(i, &kind));
        if (kind != TKIND_COCLASS) continue;
        com::bstr name;
        expect_ok(library->GetDocumentation(static_cast<INT>(i), name.put(), nullptr, nullptr, nullptr));
        coclasses.emplace_back(name.view());
    }
    std::vector<std::wstring> expected;
    for (const catalogued_class& c : catalogue())
        expected.emplace_back(c.name);
    EXPECT_EQ(coclasses, expected);
}

TEST(CatalogueTest, CreatedObjectsAnswerExactlyTheirInterfaces)
{
    for (const catalogued_class& c : catalogue()) {
        if (!c.creatable) continue;
        auto object = create<IUnknown>(*c.clsid);
        expect_exactly(object.get(), c.interfaces, c.name);
    }
}

TEST(CatalogueTest, DefaultInterfacesAreTheObjectsIUnknownAndIDispatch)
{
    for (const catalogued_class& c : catalogue()) {
        if (!c.creatable) continue;
        SCOPED_TRACE(std::string(c.name, c.name + wcslen(c.name)));
        auto object = create<IUnknown>(*c.clsid);
        com::com_ptr<IUnknown> default_interface;
        expect_ok(object->QueryInterface(*c.interfaces.front(), default_interface.put_void()));
        com::com_ptr<IDispatch> dispatch = object.try_as<IDispatch>();
        EXPECT_EQ(static_cast<void*>(dispatch.get()), static_cast<void*>(default_interface.get()));
        EXPECT_EQ(object.get(), default_interface.get());
    }
}

template <class Iterator, class Record> com::com_ptr<Record> first_of(const com::com_ptr<Iterator>& iterator)
{
    com::com_ptr<Record> record;
    expect_ok(iterator->Next(record.put()), "Next");
    return record;
}

TEST(CatalogueTest, ObjectsHandedOutAnswerExactlyTheirInterfaces)
{
    auto host = sim_host();
    expect_ok(host->Reset());
    auto rules = create<IKSQMergeRules2>(CLSID_CMergeRules);
    expect_ok(rules->SetCategoryRule(1, 2));
    expect_ok(rules->SetTypeRule(101, 3));
    expect_ok(rules->SetObjectRule(com::bstr(L"A").get(), 101, 4));
    expect_ok(rules->SetFolderRule(com::bstr(L"\\Shared").get(), 5));

    com::com_ptr<IKSQCategoryRuleIterator> categories;
    expect_ok(rules->CreateCategoryRuleIterator(categories.put()));
    expect_exactly(categories.get(), {&IID__CCategoryRuleIterator, &IID_IKSQCategoryRuleIterator},
                   L"CCategoryRuleIterator");
    expect_exactly(first_of<IKSQCategoryRuleIterator, IKSQCategoryRule>(categories).get(), {&IID_IKSQCategoryRule},
                   L"CCategoryRule");

    com::com_ptr<IKSQObjectTypeRuleIterator> types;
    expect_ok(rules->CreateObjectTypeRuleIterator(types.put()));
    expect_exactly(types.get(), {&IID__CObjectTypeRuleIterator, &IID_IKSQObjectTypeRuleIterator},
                   L"CObjectTypeRuleIterator");
    expect_exactly(first_of<IKSQObjectTypeRuleIterator, IKSQObjectTypeRule>(types).get(), {&IID_IKSQObjectTypeRule},
                   L"CObjectTypeRule");

    com::com_ptr<IKSQObjectRuleIterator> objects;
    expect_ok(rules->CreateObjectRuleIterator(objects.put()));
    expect_exactly(objects.get(), {&IID__CObjectRuleIterator, &IID_IKSQObjectRuleIterator}, L"CObjectRuleIterator");
    expect_exactly(first_of<IKSQObjectRuleIterator, IKSQObjectRule>(objects).get(), {&IID_IKSQObjectRule},
                   L"CObjectRule");

    com::com_ptr<IKSQFolderRuleIterator> folders;
    expect_ok(rules->CreateFolderRuleIterator(folders.put()));
    expect_exactly(folders.get(), {&IID__CFolderRuleIterator, &IID_IKSQFolderRuleIterator}, L"CFolderRuleIterator");
    expect_exactly(first_of<IKSQFolderRuleIterator, IKSQFolderRule>(folders).get(),
                   {&IID__CFolderRule, &IID_IKSQFolderRule}, L"CFolderRule from the store");

    auto settings = create<IKSQLogSettings>(CLSID_CLogSettings);
    auto setting = create<IKSQLogSetting>(CLSID_CLogSetting);
    expect_ok(setting->put_LogFile(com::bstr(L"a.log").get()));
    expect_ok(settings->Add(setting.get()));
    com::com_ptr<IKSQLogSettingsIterator> walk;
    expect_ok(settings->CreateIterator(walk.put()));
    expect_exactly(walk.get(), {&IID__CLogSettingsIterator, &IID_IKSQLogSettingsIterator}, L"CLogSettingsIterator");
    auto back = first_of<IKSQLogSettingsIterator, IKSQLogSetting>(walk);
    EXPECT_EQ(com::identity_of(back.get()).get(), com::identity_of(setting.get()).get())
        << "the collection hands back the setting it was given";
}

TEST(CatalogueTest, EverythingIsReleasedAfterTheWalk)
{
    {
        auto rules = create<IKSQMergeRules2>(CLSID_CMergeRules);
        com::com_ptr<IKSQFolderRuleIterator> folders;
        expect_ok(rules->CreateFolderRuleIterator(folders.put()));
        expect_ok(rules->SetFolderRule(com::bstr(L"\\X").get(), 1));
        com::com_ptr<IUnknown> alias;
        expect_ok(rules->QueryInterface(IID_CMergeRules___v0, alias.put_void()));
    }
    EXPECT_EQ(component_can_unload_now(), S_OK);
}

} // namespace
