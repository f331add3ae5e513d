// The registered type library, read as a host's tools read it: its attributes,
// what it imports, its coclasses and their default interfaces.
#include "support/com_testing.h"

#include "com/registry.h"
#include "com/type_descriptions.h"

#include <K1MrgRls.h>
#include <K1PriTyp.h>
#include <K5TYPLIB.h>

#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace testing_support;

namespace {

com::com_ptr<ITypeLib> registered_library()
{
    com::com_ptr<ITypeLib> library;
    expect_ok(::LoadRegTypeLib(LIBID_K1MrgRls, 1, 2, 0, library.put()), "LoadRegTypeLib");
    return library;
}

// The type attributes; without them the test fails.
struct type_attributes : com::type_attributes {
    explicit type_attributes(ITypeInfo* info) : com::type_attributes(info) { expect_ok(result(), "GetTypeAttr"); }
};

std::wstring name_of(ITypeInfo* info, MEMBERID member = MEMBERID_NIL)
{
    com::bstr name;
    expect_ok(info->GetDocumentation(member, name.put(), nullptr, nullptr, nullptr), "GetDocumentation");
    return std::wstring(name.view());
}

com::com_ptr<ITypeInfo> implemented(ITypeInfo* info, UINT index)
{
    HREFTYPE reference = 0;
    expect_ok(info->GetRefTypeOfImplType(index, &reference), "GetRefTypeOfImplType");
    com::com_ptr<ITypeInfo> result;
    expect_ok(info->GetRefTypeInfo(reference, result.put()), "GetRefTypeInfo");
    return result;
}

// The library a referenced type lives in: its identifier and version.
std::pair<std::wstring, std::wstring> home_of(ITypeInfo* info)
{
    com::com_ptr<ITypeLib> library;
    UINT index = 0;
    expect_ok(info->GetContainingTypeLib(library.put(), &index), "GetContainingTypeLib");
    const com::library_attributes attributes(library.get());
    expect_ok(attributes.result(), "GetLibAttr");
    wchar_t guid[64] = {};
    ::StringFromGUID2(attributes->guid, guid, 64);
    return {guid, std::to_wstring(attributes->wMajorVerNum) + L"." + std::to_wstring(attributes->wMinorVerNum)};
}

struct coclass_entry {
    const wchar_t* name;
    const CLSID* clsid;
    bool creatable;
    std::vector<std::pair<const wchar_t*, const IID*>> interfaces; // default first, in order
};

const std::wstring own_library = L"{99E70215-5C2C-11D5-BEB1-00C04F4F041C}";
const std::wstring administration_library = L"{1762CB90-5C1A-11D5-BEB1-00C04F4F041C}"; // K1TypLib.tlb

// The whole library in type-library order: each coclass with its interfaces
// (the default one its own, the IKSQ ones the host's), and the hidden alias.
const std::vector<coclass_entry> coclasses = {
    {L"CMergeRules",
     &CLSID_CMergeRules,
     true,
     {{L"_CMergeRules", &IID__CMergeRules},
      {L"IKSQMergeRules", &IID_IKSQMergeRules},
      {L"IKSQMergeRules2", &IID_IKSQMergeRules2}}},
    {L"CMergeOptions",
     &CLSID_CMergeOptions,
     true,
     {{L"_CMergeOptions", &IID__CMergeOptions},
      {L"IKSQMergeOptions", &IID_IKSQMergeOptions},
      {L"IKSQTransvaneOptions", &IID_IKSQTransvaneOptions},
      {L"IKSQMergeOptions3", &IID_IKSQMergeOptions3},
      {L"IKSQMergeOptions4", &IID_IKSQMergeOptions4},
      {L"IKSQMergeOptions2", &IID_IKSQMergeOptions2},
      {L"IKSQMergeOptions5", &IID_IKSQMergeOptions5}}},
    {L"CLogSetting",
     &CLSID_CLogSetting,
     true,
     {{L"_CLogSetting", &IID__CLogSetting}, {L"IKSQLogSetting", &IID_IKSQLogSetting}}},
    {L"CLogSettings",
     &CLSID_CLogSettings,
     true,
     {{L"_CLogSettings", &IID__CLogSettings}, {L"IKSQLogSettings", &IID_IKSQLogSettings}}},
    {L"CLogSettingsIterator",
     &CLSID_CLogSettingsIterator,
     false,
     {{L"_CLogSettingsIterator", &IID__CLogSettingsIterator},
      {L"IKSQLogSettingsIterator", &IID_IKSQLogSettingsIterator}}},
    {L"CCategoryRuleIterator",
     &CLSID_CCategoryRuleIterator,
     false,
     {{L"_CCategoryRuleIterator", &IID__CCategoryRuleIterator},
      {L"IKSQCategoryRuleIterator", &IID_IKSQCategoryRuleIterator}}},
    {L"CObjectRuleIterator",
     &CLSID_CObjectRuleIterator,
     false,
     {{L"_CObjectRuleIterator", &IID__CObjectRuleIterator}, {L"IKSQObjectRuleIterator", &IID_IKSQObjectRuleIterator}}},
    {L"CObjectTypeRuleIterator",
     &CLSID_CObjectTypeRuleIterator,
     false,
     {{L"_CObjectTypeRuleIterator", &IID__CObjectTypeRuleIterator},
      {L"IKSQObjectTypeRuleIterator", &IID_IKSQObjectTypeRuleIterator}}},
    {L"CFolderRule",
     &CLSID_CFolderRule,
     true,
     {{L"_CFolderRule", &IID__CFolderRule}, {L"IKSQFolderRule", &IID_IKSQFolderRule}}},
    {L"CFolderRuleIterator",
     &CLSID_CFolderRuleIterator,
     true,
     {{L"_CFolderRuleIterator", &IID__CFolderRuleIterator}, {L"IKSQFolderRuleIterator", &IID_IKSQFolderRuleIterator}}},
};

TEST(TypeLibraryTest, LibraryAttributesAndRegistrationLocale)
{
    auto library = registered_library();
    ASSERT_TRUE(library);
    const com::library_attributes attributes(library.get());
    expect_ok(attributes.result());
    EXPECT_TRUE(IsEqualGUID(attributes->guid, LIBID_K1MrgRls));
    EXPECT_EQ(attributes->wMajorVerNum, 1);
    EXPECT_EQ(attributes->wMinorVerNum, 2);
    EXPECT_EQ(attributes->lcid, 0x0409u) << "the library's own locale";
    EXPECT_EQ(attributes->syskind, com::registry::native_syskind) << "built for the process's bitness";

    com::bstr name, help;
    expect_ok(library->GetDocumentation(-1, name.put(), help.put(), nullptr, nullptr));
    EXPECT_EQ(name.view(), L"K1MrgRls");
    EXPECT_EQ(help.view(), L"Korvath Merge Rules Class 1.0");

    // Registered under locale 0 only: a lookup for 0x0409 finds it through the
    // neutral entry, and the path is the DLL's own.
    com::bstr path;
    expect_ok(::QueryPathOfRegTypeLib(LIBID_K1MrgRls, 1, 2, 0, path.put()), "QueryPathOfRegTypeLib");
    EXPECT_NE(std::wstring(path.view()).find(L"K1MrgRls.dll"), std::wstring::npos);
    HKEY key = nullptr;
    const std::wstring base = L"TypeLib\\{99E70215-5C2C-11D5-BEB1-00C04F4F041C}\\1.2\\";
    EXPECT_EQ(::RegOpenKeyExW(HKEY_CLASSES_ROOT, (base + L"0\\" + com::registry::native_platform_key).c_str(), 0,
                              KEY_READ, &key),
              ERROR_SUCCESS);
    if (key) ::RegCloseKey(key);
    key = nullptr;
    EXPECT_NE(::RegOpenKeyExW(HKEY_CLASSES_ROOT, (base + L"409").c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    if (key) ::RegCloseKey(key);
}

TEST(TypeLibraryTest, HoldsTheTenCoclassesAndElevenInterfacesOnly)
{
    auto library = registered_library();
    ASSERT_TRUE(library);
    std::vector<std::wstring> coclass_names, interface_names;
    for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
        com::com_ptr<ITypeInfo> info;
        expect_ok(library->GetTypeInfo(i, info.put()));
        type_attributes attributes(info.get());
        if (attributes->typekind == TKIND_COCLASS)
            coclass_names.push_back(name_of(info.get()));
        else
            interface_names.push_back(name_of(info.get()));
    }
    std::vector<std::wstring> expected_coclasses, expected_interfaces = {L"CMergeRules___v0"};
    for (const coclass_entry& c : coclasses) {
        expected_coclasses.emplace_back(c.name);
        expected_interfaces.emplace_back(c.interfaces.front().first);
    }
    EXPECT_EQ(coclass_names, expected_coclasses);
    EXPECT_EQ(std::set<std::wstring>(interface_names.begin(), interface_names.end()),
              std::set<std::wstring>(expected_interfaces.begin(), expected_interfaces.end()));
    EXPECT_EQ(interface_names.size(), expected_interfaces.size());
}

TEST(TypeLibraryTest, CoclassesListTheirDefaultInterfaceThenTheirIKSQInterfaces)
{
    auto library = registered_library();
    ASSERT_TRUE(library);
    for (const coclass_entry& c : coclasses) {
        SCOPED_TRACE(std::string(c.name, c.name + wcslen(c.name)));
        com::com_ptr<ITypeInfo> info;
        expect_ok(library->GetTypeInfoOfGuid(*c.clsid, info.put()), "GetTypeInfoOfGuid");
        ASSERT_TRUE(info);
        EXPECT_EQ(name_of(info.get()), c.name);
        type_attributes attributes(info.get());
        EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
        EXPECT_EQ((attributes->wTypeFlags & TYPEFLAG_FCANCREATE) != 0, c.creatable);
        ASSERT_EQ(attributes->cImplTypes, c.interfaces.size());
        for (UINT i = 0; i < c.interfaces.size(); ++i) {
            auto interface_info = implemented(info.get(), i);
            type_attributes interface_attributes(interface_info.get());
            EXPECT_EQ(name_of(interface_info.get()), c.interfaces[i].first);
            EXPECT_TRUE(IsEqualGUID(interface_attributes->guid, *c.interfaces[i].second));
            INT flags = 0;
            expect_ok(info->GetImplTypeFlags(i, &flags));
            EXPECT_EQ(flags, i == 0 ? IMPLTYPEFLAG_FDEFAULT : 0) << "interface " << i;
            EXPECT_EQ(home_of(interface_info.get()).first, i == 0 ? own_library : administration_library);
        }
    }
}

// The default interfaces (and the earlier one of CMergeRules) are hidden, dual,
// non-extensible and derive from IDispatch; only _CMergeRules has a member.
TEST(TypeLibraryTest, DefaultInterfacesAreHiddenDualNonExtensibleAndEmpty)
{
    auto library = registered_library();
    ASSERT_TRUE(library);
    std::vector<const IID*> defaults = {&IID_CMergeRules___v0};
    for (const coclass_entry& c : coclasses)
        defaults.push_back(c.interfaces.front().second);
    for (const IID* iid : defaults) {
        com::com_ptr<ITypeInfo> dispatch;
        expect_ok(library->GetTypeInfoOfGuid(*iid, dispatch.put()), "GetTypeInfoOfGuid");
        ASSERT_TRUE(dispatch);
        const std::wstring name = name_of(dispatch.get());
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        type_attributes attributes(dispatch.get());
        EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
        const WORD required = TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE;
        EXPECT_EQ(attributes->wTypeFlags & required, required) << std::hex << attributes->wTypeFlags;

        // The vtable half: IDispatch as its base, and its own members.
        auto vtable = implemented(dispatch.get(), static_cast<UINT>(-1));
        type_attributes vtable_attributes(vtable.get());
        EXPECT_EQ(vtable_attributes->typekind, TKIND_INTERFACE);
        ASSERT_EQ(vtable_attributes->cImplTypes, 1);
        EXPECT_EQ(name_of(implemented(vtable.get(), 0).get()), L"IDispatch");
        EXPECT_EQ(home_of(implemented(vtable.get(), 0).get()).first, L"{00020430-0000-0000-C000-000000000046}");
        EXPECT_EQ(vtable_attributes->cFuncs, *iid == IID__CMergeRules ? 1 : 0);
        EXPECT_EQ(vtable_attributes->cVars, 0);
    }
}

TEST(TypeLibraryTest, ProcessFolderRuleTakesTheSessionInAndOut)
{
    auto library = registered_library();
    ASSERT_TRUE(library);
    com::com_ptr<ITypeInfo> dispatch;
    expect_ok(library->GetTypeInfoOfGuid(IID__CMergeRules, dispatch.put()));
    ASSERT_TRUE(dispatch);
    auto vtable = implemented(dispatch.get(), static_cast<UINT>(-1));
    FUNCDESC* function = nullptr;
    expect_ok(vtable->GetFuncDesc(0, &function));
    ASSERT_TRUE(function);
    EXPECT_EQ(function->memid, 0x60030012);
    EXPECT_EQ(name_of(vtable.get(), function->memid), L"ProcessFolderRule");
    EXPECT_EQ(function->invkind, INVOKE_FUNC);
    EXPECT_EQ(function->elemdescFunc.tdesc.vt, VT_HRESULT) << "status only";
    EXPECT_EQ(function->oVft, 7 * static_cast<SHORT>(sizeof(void*))) << "after IUnknown and IDispatch";
    ASSERT_EQ(function->cParams, 1);
    const ELEMDESC& parameter = function->lprgelemdescParam[0];
    EXPECT_EQ(parameter.paramdesc.wParamFlags & (PARAMFLAG_FIN | PARAMFLAG_FOUT), PARAMFLAG_FIN | PARAMFLAG_FOUT);
    ASSERT_EQ(parameter.tdesc.vt, VT_PTR);
    ASSERT_EQ(parameter.tdesc.lptdesc->vt, VT_PTR);
    ASSERT_EQ(parameter.tdesc.lptdesc->lptdesc->vt, VT_USERDEFINED);
    com::com_ptr<ITypeInfo> session;
    expect_ok(vtable->GetRefTypeInfo(parameter.tdesc.lptdesc->lptdesc->hreftype, session.put()));
    {
        type_attributes session_attributes(session.get());
        EXPECT_TRUE(IsEqualGUID(session_attributes->guid, IID_HostSession));
    }
    EXPECT_EQ(home_of(session.get()),
              std::make_pair(std::wstring(L"{7E62D941-9778-11D1-A792-00A024D1C490}"), std::wstring(L"1.0")));
    com::bstr names[2];
    UINT count = 0;
    BSTR raw[2] = {};
    expect_ok(vtable->GetNames(function->memid, raw, 2, &count));
    EXPECT_EQ(count, 2u);
    for (UINT i = 0; i < count; ++i)
        *names[i].put() = raw[i];
    EXPECT_EQ(names[1].view(), L"oSession");
    vtable->ReleaseFuncDesc(function);
}

// The referenced libraries: the standard automation library, the host's core
// library and its administration library, never the host's private library.
TEST(TypeLibraryTest, ImportsTheAutomationAndHostLibraries)
{
    auto library = registered_library();
    ASSERT_TRUE(library);
    std::set<std::pair<std::wstring, std::wstring>> imported;
    for (const coclass_entry& c : coclasses) {
        com::com_ptr<ITypeInfo> info;
        expect_ok(library->GetTypeInfoOfGuid(*c.clsid, info.put()));
        for (UINT i = 0; i < c.interfaces.size(); ++i)
            imported.insert(home_of(implemented(info.get(), i).get()));
    }
    com::com_ptr<ITypeInfo> dispatch;
    expect_ok(library->GetTypeInfoOfGuid(IID__CMergeRules, dispatch.put()));
    auto vtable = implemented(dispatch.get(), static_cast<UINT>(-1));
    imported.insert(home_of(implemented(vtable.get(), 0).get()));
    FUNCDESC* function = nullptr;
    expect_ok(vtable->GetFuncDesc(0, &function));
    com::com_ptr<ITypeInfo> session;
    expect_ok(vtable->GetRefTypeInfo(function->lprgelemdescParam[0].tdesc.lptdesc->lptdesc->hreftype, session.put()));
    vtable->ReleaseFuncDesc(function);
    imported.insert(home_of(session.get()));

    const std::set<std::pair<std::wstring, std::wstring>> expected = {
        {L"{99E70215-5C2C-11D5-BEB1-00C04F4F041C}", L"1.2"}, // its own
        {L"{00020430-0000-0000-C000-000000000046}", L"2.0"}, // stdole2.tlb
        {L"{7E62D941-9778-11D1-A792-00A024D1C490}", L"1.0"}, // KSQCOMMasterLib
        {L"{1762CB90-5C1A-11D5-BEB1-00C04F4F041C}", L"1.0"}, // KSQAdministratorLib
    };
    EXPECT_EQ(imported, expected);
}

std::wstring text_of(REFGUID guid)
{
    wchar_t text[64] = {};
    ::StringFromGUID2(guid, text, 64);
    return text;
}

// One line per type information and per interface a coclass lists, with the
// identifier each has where it resolves and the library it resolves into.
std::vector<std::wstring> walk(ITypeLib* library)
{
    std::vector<std::wstring> lines;
    for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
        com::com_ptr<ITypeInfo> info;
        expect_ok(library->GetTypeInfo(i, info.put()), "GetTypeInfo");
        type_attributes attributes(info.get());
        std::wstring line = name_of(info.get()) + L" " + text_of(attributes->guid);
        if (attributes->typekind == TKIND_COCLASS) {
            line = L"coclass " + line + L" flags " + std::to_wstring(attributes->wTypeFlags);
            lines.push_back(line);
            for (UINT j = 0; j < attributes->cImplTypes; ++j) {
                auto implemented_info = implemented(info.get(), j);
                type_attributes implemented_attributes(implemented_info.get());
                INT flags = 0;
                expect_ok(info->GetImplTypeFlags(j, &flags), "GetImplTypeFlags");
                lines.push_back(L"  " + name_of(implemented_info.get()) + L" " + text_of(implemented_attributes->guid) +
                                L" flags " + std::to_wstring(flags) + L" in " + home_of(implemented_info.get()).first);
            }
        } else {
            line = L"interface " + line + L" kind " + std::to_wstring(attributes->typekind) + L" flags " +
                   std::to_wstring(attributes->wTypeFlags);
            lines.push_back(line);
        }
    }
    return lines;
}

std::vector<std::wstring> expected_walk()
{
    const WORD interface_flags = TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE;
    auto interface_line = [&](const std::wstring& name, const IID& iid) {
        return L"interface " + name + L" " + text_of(iid) + L" kind " + std::to_wstring(TKIND_DISPATCH) + L" flags " +
               std::to_wstring(interface_flags);
    };
    std::vector<std::wstring> lines = {interface_line(L"CMergeRules___v0", IID_CMergeRules___v0)};
    for (const coclass_entry& c : coclasses) {
        lines.push_back(L"coclass " + std::wstring(c.name) + L" " + text_of(*c.clsid) + L" flags " +
                        std::to_wstring(c.creatable ? TYPEFLAG_FCANCREATE : 0));
        for (std::size_t i = 0; i < c.interfaces.size(); ++i)
            lines.push_back(L"  " + std::wstring(c.interfaces[i].first) + L" " + text_of(*c.interfaces[i].second) +
                            L" flags " + std::to_wstring(i == 0 ? IMPLTYPEFLAG_FDEFAULT : 0) + L" in " +
                            (i == 0 ? own_library : administration_library));
        lines.push_back(interface_line(c.interfaces.front().first, *c.interfaces.front().second));
    }
    return lines;
}

void print(const std::vector<std::wstring>& lines)
{
    if (!::GetEnvironmentVariableW(L"K1MRGRLS_PRINT_TYPE_LIBRARY", nullptr, 0)) return;
    for (const std::wstring& line : lines)
        std::printf("%ls\n", line.c_str());
}

// The library embedded in the DLL and the file installed beside it hold the same
// types, and nothing else: no copy of a host interface, no null identifier.
TEST(TypeLibraryTest, EmbeddedLibraryAndFileHoldExactlyTheCatalogue)
{
    auto embedded = registered_library();
    ASSERT_TRUE(embedded);
    const auto walked = walk(embedded.get());
    print(walked);
    EXPECT_EQ(walked, expected_walk());

    com::com_ptr<ITypeLib> file;
    expect_ok(::LoadTypeLibEx(K1MRGRLS_TLB_FILE, REGKIND_NONE, file.put()), "LoadTypeLibEx of K1MrgRls.tlb");
    ASSERT_TRUE(file);
    EXPECT_EQ(walk(file.get()), walked);
}

// The imports are recorded by file name, as a host finds them on its own
// machine, never by the path they were read from when the library was written.
TEST(TypeLibraryTest, FileNamesTheImportedLibrariesWithoutAPath)
{
    HANDLE file = ::CreateFileW(K1MRGRLS_TLB_FILE, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::string bytes(::GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    const BOOL ok = ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    ::CloseHandle(file);
    ASSERT_TRUE(ok);
    for (const char* name : {"stdole2.tlb", "K5TYPLIB.dll", "K1TypLib.tlb"}) {
        const std::size_t at = bytes.find(name);
        ASSERT_NE(at, std::string::npos) << name;
        EXPECT_TRUE(at == 0 || (bytes[at - 1] != '\\' && bytes[at - 1] != '/')) << name << " has a path";
    }
    EXPECT_EQ(bytes.find("K1PriTyp"), std::string::npos);
}

} // namespace
