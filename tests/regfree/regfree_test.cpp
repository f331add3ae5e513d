// The component deployed beside its host without registration: this program's
// application manifest names the component's assembly, whose manifest lies beside
// the DLL in the program's folder. It runs in a Wine prefix where the component
// was never registered (the simulated host is, as a host's own classes would be).
#include "rules/folder_fixture.h"

#include <K1MrgRls.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

struct creatable_class {
    const CLSID* clsid;
    std::vector<const IID*> interfaces; // default first, then the IKSQ interfaces
};

const std::vector<creatable_class>& creatable_classes()
{
    static const std::vector<creatable_class> classes = {
        {&CLSID_CMergeRules, {&IID__CMergeRules, &IID_IKSQMergeRules, &IID_IKSQMergeRules2}},
        {&CLSID_CMergeOptions,
         {&IID__CMergeOptions, &IID_IKSQMergeOptions, &IID_IKSQTransvaneOptions, &IID_IKSQMergeOptions3,
          &IID_IKSQMergeOptions4, &IID_IKSQMergeOptions2, &IID_IKSQMergeOptions5}},
        {&CLSID_CLogSetting, {&IID__CLogSetting, &IID_IKSQLogSetting}},
        {&CLSID_CLogSettings, {&IID__CLogSettings, &IID_IKSQLogSettings}},
        {&CLSID_CFolderRule, {&IID__CFolderRule, &IID_IKSQFolderRule}},
        {&CLSID_CFolderRuleIterator, {&IID__CFolderRuleIterator, &IID_IKSQFolderRuleIterator}},
    };
    return classes;
}

std::wstring folder_of(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/")); }

std::wstring module_path(HMODULE module)
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(module, path, MAX_PATH);
    return path;
}

bool registered(const CLSID& clsid)
{
    wchar_t text[40] = {};
    ::StringFromGUID2(clsid, text, 40);
    HKEY key = nullptr;
    const bool found = ::RegOpenKeyExW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + text).c_str(), 0, KEY_READ,
                                       &key) == ERROR_SUCCESS;
    if (key) ::RegCloseKey(key);
    return found;
}

TEST(RegistrationFreeTest, CreatesEveryCreatableClassFromTheDllBesideTheProgram)
{
    for (const creatable_class& c : creatable_classes()) {
        EXPECT_FALSE(registered(*c.clsid)) << "the prefix must not know the component";
        auto object = create<IUnknown>(*c.clsid);
        EXPECT_TRUE(object);
    }
    HMODULE component = ::GetModuleHandleW(L"K1MrgRls.dll");
    ASSERT_NE(component, nullptr);
    EXPECT_EQ(folder_of(module_path(component)), folder_of(module_path(nullptr)))
        << "the component comes from the program's folder";
}

// Every interface's IDispatch describes that interface: the type information is
// found with nothing registered but the host's own libraries.
TEST(RegistrationFreeTest, EveryInterfaceGivesItsTypeInformation)
{
    for (const creatable_class& c : creatable_classes()) {
        auto object = create<IUnknown>(*c.clsid);
        ASSERT_TRUE(object);
        for (const IID* iid : c.interfaces) {
            com::com_ptr<IDispatch> dispatch;
            expect_ok(object->QueryInterface(*iid, dispatch.put_void()), "QueryInterface");
            if (!dispatch) continue;
            UINT count = 0;
            expect_ok(dispatch->GetTypeInfoCount(&count), "GetTypeInfoCount");
            EXPECT_EQ(count, 1u);
            com::com_ptr<ITypeInfo> info;
            expect_ok(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put()), "GetTypeInfo");
            if (!info) continue;
            TYPEATTR* attributes = nullptr;
            expect_ok(info->GetTypeAttr(&attributes), "GetTypeAttr");
            if (!attributes) continue;
            wchar_t text[40] = {};
            ::StringFromGUID2(*iid, text, 40);
            EXPECT_TRUE(IsEqualGUID(attributes->guid, *iid)) << "type information of " << text;
            info->ReleaseTypeAttr(attributes);
        }
    }
}

class RegistrationFreeRulesTest : public FolderRulesTest {};

TEST_F(RegistrationFreeRulesTest, SetsRulesExpandsFoldersAndFindsActions)
{
    standard_tree();
    expect_ok(rules->SetCategoryRule(9, 4), "SetCategoryRule");
    expect_ok(rules->SetTypeRule(130, 6), "SetTypeRule");
    expect_ok(rules->SetObjectRule(com::bstr(L"r2").get(), 121, 2), "SetObjectRule");
    folder_rule(L"\\Shared\\Reports", 3);
    process_ok();
    EXPECT_EQ(action_of(L"r1"), 3) << "from the folder rule";
    EXPECT_EQ(action_of(L"r2"), 2) << "its own object rule stays";
    EXPECT_EQ(action_of(L"s1"), 6) << "the type rule";
    EXPECT_EQ(action_of(L"x1"), 4) << "the category rule";
}

// Runs last (suites run in the order they first appear): nothing of the
// component is held any more.
TEST(RegistrationFreeEndTest, ServerCanUnloadOnceEverythingIsReleased)
{
    ASSERT_NE(::GetModuleHandleW(L"K1MrgRls.dll"), nullptr);
    EXPECT_EQ(component_can_unload_now(), S_OK);
}

} // namespace
