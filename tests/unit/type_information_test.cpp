// Where dual<I> finds an interface's type information: a library registered
// after a first failed look is found on the next call.
#include "com/com_ptr.h"
#include "com/dual.h"
#include "com/registry.h"

#include <gtest/gtest.h>

#include <oleauto.h>

#include <string>

namespace {

// A library of one automation interface, written to a temporary file.
class scratch_library {
public:
    scratch_library()
    {
        ::CoCreateGuid(&library_id);
        ::CoCreateGuid(&interface_id);
        wchar_t folder[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, folder);
        path = std::wstring(folder) + L"k1mrgrls_scratch_" + com::registry::guid_text(library_id) + L".tlb";

        com::com_ptr<ITypeLib> stdole;
        EXPECT_HRESULT_SUCCEEDED(::LoadTypeLibEx(L"stdole2.tlb", REGKIND_NONE, stdole.put()));
        com::com_ptr<ITypeInfo> unknown;
        EXPECT_HRESULT_SUCCEEDED(stdole->GetTypeInfoOfGuid(IID_IUnknown, unknown.put()));

        com::com_ptr<ICreateTypeLib2> created;
        EXPECT_HRESULT_SUCCEEDED(
            ::CreateTypeLib2(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32, path.c_str(), created.put()));
        created->SetGuid(library_id);
        created->SetVersion(1, 0);
        created->SetName(const_cast<LPOLESTR>(L"Scratch"));
        com::com_ptr<ICreateTypeInfo> created_interface;
        EXPECT_HRESULT_SUCCEEDED(
            created->CreateTypeInfo(const_cast<LPOLESTR>(L"IScratch"), TKIND_INTERFACE, created_interface.put()));
        created_interface->SetGuid(interface_id);
        HREFTYPE base = 0;
        created_interface->AddRefTypeInfo(unknown.get(), &base);
        created_interface->AddImplType(0, base);
        created_interface->SetTypeFlags(TYPEFLAG_FOLEAUTOMATION);
        EXPECT_HRESULT_SUCCEEDED(created_interface->LayOut());
        EXPECT_HRESULT_SUCCEEDED(created->SaveAllChanges());
    }
    ~scratch_library()
    {
        ::UnRegisterTypeLib(library_id, 1, 0, 0, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
        com::registry::remove_tree(L"Interface\\" + com::registry::guid_text(interface_id));
        ::DeleteFileW(path.c_str());
    }
    scratch_library(const scratch_library&) = delete;
    scratch_library& operator=(const scratch_library&) = delete;

    void register_it()
    {
        com::com_ptr<ITypeLib> library;
        ASSERT_HRESULT_SUCCEEDED(::LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put()));
        ASSERT_HRESULT_SUCCEEDED(::RegisterTypeLib(library.get(), path.data(), nullptr));
        // The interface's own key, whether or not the platform wrote it.
        const std::wstring key = L"Interface\\" + com::registry::guid_text(interface_id) + L"\\TypeLib";
        ASSERT_HRESULT_SUCCEEDED(com::registry::set_text(key, L"", com::registry::guid_text(library_id)));
        ASSERT_HRESULT_SUCCEEDED(com::registry::set_text(key, L"Version", L"1.0"));
    }

    GUID library_id = {};
    IID interface_id = {};
    std::wstring path;
};

TEST(TypeInformationTest, AnInterfaceNotFoundIsLookedForAgainLater)
{
    scratch_library scratch;
    EXPECT_EQ(com::type_info_of(scratch.interface_id).vtable, nullptr) << "not registered yet";
    scratch.register_it();
    const com::dispatch_info found = com::type_info_of(scratch.interface_id);
    ASSERT_NE(found.vtable, nullptr) << "registered since the first look";
    TYPEATTR* attributes = nullptr;
    ASSERT_HRESULT_SUCCEEDED(found.vtable->GetTypeAttr(&attributes));
    EXPECT_TRUE(IsEqualGUID(attributes->guid, scratch.interface_id));
    found.vtable->ReleaseTypeAttr(attributes);
    com::release_type_information();
}

} // namespace
