// Self-registration: the keys the component writes, and that unregistering
// leaves none of them behind. Runs alone, and registers the component again at
// the end for the tests that follow.
#include "support/com_testing.h"

#include <K1MrgRls.h>

#include "com/registry.h"

using namespace testing_support;

namespace {

using entry_point = HRESULT(STDAPICALLTYPE*)();

entry_point export_of(HMODULE module, const char* name)
{
    return reinterpret_cast<entry_point>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

bool key_exists(const std::wstring& key)
{
    HKEY handle = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    ::RegCloseKey(handle);
    return true;
}

std::wstring text_of(const std::wstring& key, const wchar_t* name = nullptr)
{
    wchar_t value[1024] = {};
    DWORD size = sizeof value;
    if (::RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return value;
}

struct registered_class {
    const wchar_t* name;
    const CLSID* clsid;
    const IID* default_interface;
};

const registered_class classes[] = {
    {L"CMergeRules", &CLSID_CMergeRules, &IID__CMergeRules},
    {L"CMergeOptions", &CLSID_CMergeOptions, &IID__CMergeOptions},
    {L"CLogSetting", &CLSID_CLogSetting, &IID__CLogSetting},
    {L"CLogSettings", &CLSID_CLogSettings, &IID__CLogSettings},
    {L"CLogSettingsIterator", &CLSID_CLogSettingsIterator, &IID__CLogSettingsIterator},
    {L"CCategoryRuleIterator", &CLSID_CCategoryRuleIterator, &IID__CCategoryRuleIterator},
    {L"CObjectRuleIterator", &CLSID_CObjectRuleIterator, &IID__CObjectRuleIterator},
    {L"CObjectTypeRuleIterator", &CLSID_CObjectTypeRuleIterator, &IID__CObjectTypeRuleIterator},
    {L"CFolderRule", &CLSID_CFolderRule, &IID__CFolderRule},
    {L"CFolderRuleIterator", &CLSID_CFolderRuleIterator, &IID__CFolderRuleIterator},
};

std::vector<std::wstring> component_keys()
{
    std::vector<std::wstring> keys = {L"TypeLib\\" + com::registry::guid_text(LIBID_K1MrgRls)};
    for (const registered_class& c : classes) {
        keys.push_back(L"CLSID\\" + com::registry::guid_text(*c.clsid));
        keys.push_back(std::wstring(L"K1MrgRls.") + c.name);
        keys.push_back(L"Interface\\" + com::registry::guid_text(*c.default_interface));
    }
    keys.push_back(L"Interface\\" + com::registry::guid_text(IID_CMergeRules___v0));
    return keys;
}

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        module = ::LoadLibraryW(L"K1MrgRls.dll");
        if (!module) {
            // Not on the search path: take the registered server's path.
            const std::wstring path =
                text_of(L"CLSID\\" + com::registry::guid_text(CLSID_CMergeOptions) + L"\\InprocServer32");
            module = ::LoadLibraryW(path.c_str());
        }
        ASSERT_TRUE(module);
        register_server = export_of(module, "DllRegisterServer");
        unregister_server = export_of(module, "DllUnregisterServer");
    }
    void TearDown() override
    {
        if (register_server) expect_ok(register_server(), "registering again");
        if (module) ::FreeLibrary(module);
    }
    HMODULE module = nullptr;
    entry_point register_server = nullptr;
    entry_point unregister_server = nullptr;
};

TEST_F(RegistrationTest, RegistersClassesProgIdsInterfacesAndTheTypeLibrary)
{
    expect_ok(register_server());
    const std::wstring library = com::registry::guid_text(LIBID_K1MrgRls);
    for (const registered_class& c : classes) {
        const std::wstring clsid = com::registry::guid_text(*c.clsid);
        const std::wstring prog_id = std::wstring(L"K1MrgRls.") + c.name;
        EXPECT_EQ(text_of(L"CLSID\\" + clsid + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
        EXPECT_NE(text_of(L"CLSID\\" + clsid + L"\\InprocServer32").find(L"K1MrgRls.dll"), std::wstring::npos);
        EXPECT_EQ(text_of(L"CLSID\\" + clsid + L"\\ProgID"), prog_id);
        EXPECT_EQ(text_of(prog_id + L"\\CLSID"), clsid);
        EXPECT_EQ(text_of(L"CLSID\\" + clsid + L"\\TypeLib"), library);
        const std::wstring iid = L"Interface\\" + com::registry::guid_text(*c.default_interface);
        EXPECT_EQ(text_of(iid + L"\\TypeLib"), library);
        EXPECT_EQ(text_of(iid + L"\\TypeLib", L"Version"), L"1.2");
    }
    EXPECT_EQ(text_of(L"TypeLib\\" + library + L"\\1.2"), L"Korvath Merge Rules Class 1.0");
    EXPECT_TRUE(key_exists(L"TypeLib\\" + library + L"\\1.2\\0\\" + com::registry::native_platform_key));

    com::com_ptr<ITypeLib> loaded;
    expect_ok(::LoadRegTypeLib(LIBID_K1MrgRls, 1, 2, 0, loaded.put()), "LoadRegTypeLib");
}

TEST_F(RegistrationTest, TypeLibraryHasItsNameVersionAndLocale)
{
    com::com_ptr<ITypeLib> library;
    expect_ok(::LoadRegTypeLib(LIBID_K1MrgRls, 1, 2, 0, library.put()), "LoadRegTypeLib");
    TLIBATTR* attributes = nullptr;
    expect_ok(library->GetLibAttr(&attributes));
    EXPECT_EQ(attributes->wMajorVerNum, 1);
    EXPECT_EQ(attributes->wMinorVerNum, 2);
    EXPECT_EQ(attributes->lcid, 0x0409u);
    library->ReleaseTLibAttr(attributes);
    com::bstr name, help;
    expect_ok(library->GetDocumentation(-1, name.put(), help.put(), nullptr, nullptr));
    EXPECT_EQ(name.view(), L"K1MrgRls");
    EXPECT_EQ(help.view(), L"Korvath Merge Rules Class 1.0");
}

TEST_F(RegistrationTest, UnregisteringLeavesNoKeyBehind)
{
    expect_ok(register_server());
    expect_ok(unregister_server());
    for (const std::wstring& key : component_keys())
        EXPECT_FALSE(key_exists(key)) << std::string(key.begin(), key.end());
    // The host's own registration is not the component's to remove.
    EXPECT_TRUE(key_exists(L"Interface\\" + com::registry::guid_text(IID_IKSQMergeOptions)));
    expect_ok(unregister_server(), "unregistering twice");
}

TEST_F(RegistrationTest, RegisteringTwiceAndUnregisteringWhatWasNeverRegisteredSucceed)
{
    expect_ok(unregister_server());
    expect_ok(unregister_server(), "unregistering what was never registered");
    expect_ok(register_server());
    expect_ok(register_server(), "registering twice");
    for (const std::wstring& key : component_keys())
        EXPECT_TRUE(key_exists(key)) << std::string(key.begin(), key.end());
    com::com_ptr<IUnknown> object;
    expect_ok(::CoCreateInstance(CLSID_CMergeRules, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.put_void()),
              "creating after registering twice");
    object.reset();
    expect_ok(unregister_server());
    expect_ok(unregister_server());
    for (const std::wstring& key : component_keys())
        EXPECT_FALSE(key_exists(key)) << std::string(key.begin(), key.end());
}

TEST_F(RegistrationTest, InterfacesAreRegisteredUnderTheirOwnNames)
{
    expect_ok(register_server());
    for (const registered_class& c : classes)
        EXPECT_EQ(text_of(L"Interface\\" + com::registry::guid_text(*c.default_interface)),
                  std::wstring(L"_") + c.name);
    EXPECT_EQ(text_of(L"Interface\\" + com::registry::guid_text(IID_CMergeRules___v0)), L"CMergeRules___v0");
}

// A key the component writes, made volatile beforehand, stops the registration
// there: the registry refuses the lasting subkey the registration puts under it.
// Whatever was written before is removed again, the blocking key included.
TEST_F(RegistrationTest, RegistrationThatFailsHalfWayLeavesNothingBehind)
{
    const std::wstring library = L"TypeLib\\" + com::registry::guid_text(LIBID_K1MrgRls);
    const std::wstring blockers[] = {
        library + L"\\1.2",                                                  // the first key written
        L"CLSID\\" + com::registry::guid_text(CLSID_CLogSettings),           // a class half-way
        L"Interface\\" + com::registry::guid_text(IID__CObjectRuleIterator), // an interface
        L"K1MrgRls.CFolderRuleIterator",                                     // the last ProgID
    };
    for (const std::wstring& blocker : blockers) {
        SCOPED_TRACE(std::string(blocker.begin(), blocker.end()));
        expect_ok(unregister_server());
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, blocker.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                    nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ::RegCloseKey(key);
        EXPECT_EQ(register_server(), HRESULT_FROM_WIN32(ERROR_CHILD_MUST_BE_VOLATILE)) << "the registry's own failure";
        for (const std::wstring& k : component_keys())
            EXPECT_FALSE(key_exists(k)) << std::string(k.begin(), k.end());
        EXPECT_FALSE(key_exists(blocker));
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, blocker.c_str());
        // The host's registration is untouched.
        EXPECT_TRUE(key_exists(L"Interface\\" + com::registry::guid_text(IID_IKSQMergeRules)));
    }
}

} // namespace
