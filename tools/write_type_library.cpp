// write_type_library: writes the component's type library from the library that
// widl compiles from the component's IDL, with true references into the
// libraries it imports.
//
//   write_type_library SYS_WIN64|SYS_WIN32 <declared.tlb> <output.tlb> <imported library>...
//
// widl cannot refer to an interface that only an imported library defines: it
// copies such interfaces into the new library (and gives some of the copies a
// null identifier). Here every type of the declared library that an imported
// library also defines, by name, becomes a reference to the imported one; the
// component's own types are copied member by member. Imported libraries are
// named as the new library should record them (a bare file name is looked for
// in the working directory, then on the system path).
#include "com/bstr.h"
#include "com/com_ptr.h"
#include "com/type_descriptions.h"

#include <oaidl.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <deque>
#include <initializer_list>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct failure : std::runtime_error {
    failure(const std::string& what, HRESULT hr) : std::runtime_error(what), result(hr) {}
    HRESULT result;
};

void check(HRESULT hr, const char* what)
{
    if (FAILED(hr)) throw failure(what, hr);
}

std::string narrow(std::wstring_view text) { return std::string(text.begin(), text.end()); }

// Type attributes and member descriptions, or a failure naming the call.
struct type_attributes : com::type_attributes {
    explicit type_attributes(ITypeInfo* info) : com::type_attributes(info) { check(result(), "GetTypeAttr"); }
};
struct function_description : com::function_description {
    function_description(ITypeInfo* info, UINT index) : com::function_description(info, index)
    {
        check(result(), "GetFuncDesc");
    }
};

struct documentation {
    com::bstr name, help;
    DWORD help_context = 0;
};

documentation documentation_of(ITypeInfo* info, MEMBERID member)
{
    documentation d;
    check(info->GetDocumentation(member, d.name.put(), d.help.put(), &d.help_context, nullptr), "GetDocumentation");
    return d;
}

SYSKIND platform_of(std::wstring_view argument)
{
    if (argument == L"SYS_WIN64") return SYS_WIN64;
    if (argument == L"SYS_WIN32") return SYS_WIN32;
    throw failure("the platform must be SYS_WIN64 or SYS_WIN32", E_INVALIDARG);
}

class library_writer {
public:
    library_writer(SYSKIND platform, ITypeLib* declared, std::vector<com::com_ptr<ITypeLib>> imported,
                   const std::wstring& output)
        : declared_(declared), imported_(std::move(imported))
    {
        check(::CreateTypeLib2(platform, output.c_str(), created_.put()), "CreateTypeLib2");
    }

    void write()
    {
        copy_library_attributes();
        // All own types exist before any is filled, so that each can refer to
        // any other.
        std::vector<std::pair<com::com_ptr<ITypeInfo>, com::com_ptr<ICreateTypeInfo>>> own;
        for (UINT i = 0; i < declared_->GetTypeInfoCount(); ++i) {
            com::com_ptr<ITypeInfo> info;
            check(declared_->GetTypeInfo(i, info.put()), "GetTypeInfo");
            if (imported_type_named(documentation_of(info.get(), MEMBERID_NIL).name.view())) continue;
            own.emplace_back(info, create_like(info.get()));
        }
        for (auto& [source, target] : own)
            fill(source.get(), target.get());
        for (auto& [source, target] : own)
            check(target->LayOut(), "LayOut");
        check(created_->SaveAllChanges(), "SaveAllChanges");
    }

private:
    void copy_library_attributes()
    {
        const com::library_attributes attributes(declared_);
        check(attributes.result(), "GetLibAttr");
        const TLIBATTR a = *attributes.operator->();
        com::bstr name, help;
        DWORD help_context = 0;
        check(declared_->GetDocumentation(-1, name.put(), help.put(), &help_context, nullptr), "GetDocumentation");
        check(created_->SetName(name.get()), "SetName");
        check(created_->SetGuid(a.guid), "SetGuid");
        check(created_->SetVersion(a.wMajorVerNum, a.wMinorVerNum), "SetVersion");
        check(created_->SetLcid(a.lcid), "SetLcid");
        check(created_->SetLibFlags(a.wLibFlags), "SetLibFlags");
        if (help.get()) check(created_->SetDocString(help.get()), "SetDocString");
        if (help_context) check(created_->SetHelpContext(help_context), "SetHelpContext");
    }

    // An imported library's type of that name, or null.
    com::com_ptr<ITypeInfo> imported_type_named(std::wstring_view name)
    {
        for (auto& library : imported_) {
            std::wstring text(name);
            ITypeInfo* found = nullptr;
            MEMBERID member = 0;
            USHORT count = 1;
            if (SUCCEEDED(library->FindName(text.data(), 0, &found, &member, &count)) && count == 1 &&
                member == MEMBERID_NIL)
                return com::com_ptr<ITypeInfo>::attach(found);
            if (count == 1 && found) found->Release();
        }
        return {};
    }

    // A type of the declared library (an own type, or widl's copy of an
    // imported one) or of a library it imports, as the new library refers to it.
    com::com_ptr<ITypeInfo> target_of(ITypeInfo* source)
    {
        const std::wstring name(documentation_of(source, MEMBERID_NIL).name.view());
        if (auto imported = imported_type_named(name)) return imported;
        com::com_ptr<ITypeLib> home;
        UINT index = 0;
        check(source->GetContainingTypeLib(home.put(), &index), "GetContainingTypeLib");
        if (home.get() != declared_) return com::com_ptr<ITypeInfo>(source); // stdole2 and the like
        auto own = own_.find(name);
        if (own == own_.end()) throw failure("no type " + narrow(name), TYPE_E_ELEMENTNOTFOUND);
        return own->second.try_as<ITypeInfo>();
    }

    HREFTYPE reference(ICreateTypeInfo* target, ITypeInfo* source_owner, HREFTYPE source_reference)
    {
        com::com_ptr<ITypeInfo> referenced;
        check(source_owner->GetRefTypeInfo(source_reference, referenced.put()), "GetRefTypeInfo");
        HREFTYPE result = 0;
        check(target->AddRefTypeInfo(target_of(referenced.get()).get(), &result), "AddRefTypeInfo");
        return result;
    }

    com::com_ptr<ICreateTypeInfo> create_like(ITypeInfo* source)
    {
        const documentation d = documentation_of(source, MEMBERID_NIL);
        type_attributes attributes(source);
        // A dual interface is made as its vtable half; the library adds the
        // dispatch half.
        const TYPEKIND kind = attributes->typekind == TKIND_DISPATCH && (attributes->wTypeFlags & TYPEFLAG_FDUAL)
                                  ? TKIND_INTERFACE
                                  : attributes->typekind;
        com::com_ptr<ICreateTypeInfo> created;
        check(created_->CreateTypeInfo(d.name.get(), kind, created.put()), "CreateTypeInfo");
        own_.emplace(std::wstring(d.name.view()), created);
        return created;
    }

    void fill(ITypeInfo* source, ICreateTypeInfo* target)
    {
        com::com_ptr<ITypeInfo> described(source);
        {
            type_attributes attributes(source);
            if (attributes->typekind == TKIND_DISPATCH && (attributes->wTypeFlags & TYPEFLAG_FDUAL)) {
                HREFTYPE vtable = 0;
                check(source->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtable), "GetRefTypeOfImplType");
                check(source->GetRefTypeInfo(vtable, described.put()), "GetRefTypeInfo");
            }
        }
        type_attributes attributes(described.get());
        const documentation d = documentation_of(source, MEMBERID_NIL);
        check(target->SetGuid(attributes->guid), "SetGuid");
        check(target->SetVersion(attributes->wMajorVerNum, attributes->wMinorVerNum), "SetVersion");
        if (d.help.get()) check(target->SetDocString(d.help.get()), "SetDocString");
        if (d.help_context) check(target->SetHelpContext(d.help_context), "SetHelpContext");
        for (UINT i = 0; i < attributes->cImplTypes; ++i) {
            HREFTYPE source_reference = 0;
            check(described->GetRefTypeOfImplType(i, &source_reference), "GetRefTypeOfImplType");
            check(target->AddImplType(i, reference(target, described.get(), source_reference)), "AddImplType");
            INT flags = 0;
            check(described->GetImplTypeFlags(i, &flags), "GetImplTypeFlags");
            if (attributes->typekind == TKIND_COCLASS) check(target->SetImplTypeFlags(i, flags), "SetImplTypeFlags");
        }
        for (UINT i = 0; i < attributes->cFuncs; ++i)
            copy_function(described.get(), target, i);
        // The library sets the flags that follow from the kind (dispatchable for
        // a dual interface); a coclass gets exactly its own.
        WORD flags = attributes->wTypeFlags;
        if (attributes->typekind == TKIND_COCLASS) flags &= static_cast<WORD>(~TYPEFLAG_FDISPATCHABLE);
        check(target->SetTypeFlags(flags), "SetTypeFlags");
    }

    // A parameter or result type, with the types it names referred to anew.
    TYPEDESC translate(const TYPEDESC& source, ICreateTypeInfo* target, ITypeInfo* owner)
    {
        TYPEDESC result = source;
        if (source.vt == VT_PTR || source.vt == VT_SAFEARRAY) {
            result.lptdesc = &types_.emplace_back(translate(*source.lptdesc, target, owner));
        } else if (source.vt == VT_USERDEFINED) {
            result.hreftype = reference(target, owner, source.hreftype);
        } else if (source.vt == VT_CARRAY) {
            throw failure("fixed-size arrays are not copied", E_NOTIMPL);
        }
        return result;
    }

    void copy_function(ITypeInfo* source, ICreateTypeInfo* target, UINT index)
    {
        function_description f(source, index);
        FUNCDESC copy = *f.operator->();
        std::vector<ELEMDESC> parameters(f->lprgelemdescParam, f->lprgelemdescParam + f->cParams);
        for (ELEMDESC& p : parameters)
            p.tdesc = translate(p.tdesc, target, source);
        copy.elemdescFunc.tdesc = translate(f->elemdescFunc.tdesc, target, source);
        copy.lprgelemdescParam = parameters.empty() ? nullptr : parameters.data();
        copy.oVft = 0; // laid out anew for the platform written
        check(target->AddFuncDesc(index, &copy), "AddFuncDesc");

        std::vector<BSTR> names(static_cast<std::size_t>(f->cParams) + 1);
        UINT count = 0;
        check(source->GetNames(f->memid, names.data(), static_cast<UINT>(names.size()), &count), "GetNames");
        std::vector<com::bstr> owned;
        for (UINT i = 0; i < count; ++i)
            owned.push_back(com::bstr::attach(names[i]));
        std::vector<LPOLESTR> texts;
        for (auto& name : owned)
            texts.push_back(name.get());
        check(target->SetFuncAndParamNames(index, texts.data(), count), "SetFuncAndParamNames");
        const documentation d = documentation_of(source, f->memid);
        if (d.help.get()) check(target->SetFuncDocString(index, d.help.get()), "SetFuncDocString");
        if (d.help_context) check(target->SetFuncHelpContext(index, d.help_context), "SetFuncHelpContext");
        types_.clear();
    }

    ITypeLib* declared_;
    std::vector<com::com_ptr<ITypeLib>> imported_;
    com::com_ptr<ICreateTypeLib2> created_;
    std::map<std::wstring, com::com_ptr<ICreateTypeInfo>> own_;
    std::deque<TYPEDESC> types_; // the nested parts of the function being copied
};

com::com_ptr<ITypeLib> load(const std::wstring& path)
{
    com::com_ptr<ITypeLib> library;
    check(::LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put()), "LoadTypeLibEx");
    return library;
}

bool is_automation_library_for_another_platform(ITypeLib* library, SYSKIND platform)
{
    // stdole2.tlb, {00020430-0000-0000-C000-000000000046}
    const GUID automation = {0x00020430, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    const com::library_attributes attributes(library);
    check(attributes.result(), "GetLibAttr");
    return IsEqualGUID(attributes->guid, automation) && attributes->syskind != platform;
}

com::com_ptr<ICreateTypeInfo> add_interface(ICreateTypeLib2* library, const wchar_t* name, REFIID iid, ITypeInfo* base,
                                            std::initializer_list<const wchar_t*> functions)
{
    com::com_ptr<ICreateTypeInfo> created;
    check(library->CreateTypeInfo(const_cast<LPOLESTR>(name), TKIND_INTERFACE, created.put()), "CreateTypeInfo");
    check(created->SetGuid(iid), "SetGuid");
    if (base) {
        HREFTYPE reference = 0;
        check(created->AddRefTypeInfo(base, &reference), "AddRefTypeInfo");
        check(created->AddImplType(0, reference), "AddImplType");
    }
    UINT index = 0;
    for (const wchar_t* function : functions) {
        FUNCDESC description = {};
        description.memid = static_cast<MEMBERID>(0x60000000 + index);
        description.funckind = FUNC_PUREVIRTUAL;
        description.invkind = INVOKE_FUNC;
        description.callconv = CC_STDCALL;
        description.elemdescFunc.tdesc.vt = VT_HRESULT;
        check(created->AddFuncDesc(index, &description), "AddFuncDesc");
        LPOLESTR names[] = {const_cast<LPOLESTR>(function)};
        check(created->SetFuncAndParamNames(index, names, 1), "SetFuncAndParamNames");
        ++index;
    }
    check(created->LayOut(), "LayOut");
    return created;
}

// The layout of an interface derived from IDispatch takes the size of
// IDispatch's table from the IDispatch referred to, so a 32-bit library must
// refer to a 32-bit one. Where only another platform's stdole2.tlb is at hand,
// this writes a stand-in with the same identifiers, IUnknown and IDispatch and
// their slots, as stdole2.tlb in a folder of its own, and loads it by that
// name, which the new library records; a client resolves the reference by
// identifier to its own stdole2.tlb.
// The stand-in's folder, removed once the new library is written.
std::wstring stand_in_folder;

com::com_ptr<ITypeLib> automation_library_for(SYSKIND platform)
{
    wchar_t temporary[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temporary);
    const std::wstring folder =
        std::wstring(temporary) + L"write_type_library." + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    stand_in_folder = folder;
    const std::wstring path = folder + L"\\stdole2.tlb";
    {
        com::com_ptr<ICreateTypeLib2> library;
        check(::CreateTypeLib2(platform, path.c_str(), library.put()), "CreateTypeLib2");
        const GUID automation = {0x00020430, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
        check(library->SetGuid(automation), "SetGuid");
        check(library->SetVersion(2, 0), "SetVersion");
        check(library->SetName(const_cast<LPOLESTR>(L"stdole")), "SetName");
        auto unknown = add_interface(library.get(), L"IUnknown", IID_IUnknown, nullptr,
                                     {L"QueryInterface", L"AddRef", L"Release"});
        add_interface(library.get(), L"IDispatch", IID_IDispatch, unknown.try_as<ITypeInfo>().get(),
                      {L"GetTypeInfoCount", L"GetTypeInfo", L"GetIDsOfNames", L"Invoke"});
        check(library->SaveAllChanges(), "SaveAllChanges");
    }
    wchar_t current[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    ::SetCurrentDirectoryW(folder.c_str());
    com::com_ptr<ITypeLib> stand_in;
    const HRESULT hr = ::LoadTypeLibEx(L"stdole2.tlb", REGKIND_NONE, stand_in.put());
    ::SetCurrentDirectoryW(current);
    check(hr, "LoadTypeLibEx of the stand-in");
    return stand_in;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 5) {
        std::fputs("usage: write_type_library SYS_WIN64|SYS_WIN32 <declared.tlb> <output.tlb> <imported library>...\n",
                   stderr);
        return 2;
    }
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int status = 0;
    try {
        const SYSKIND platform = platform_of(argv[1]);
        auto declared = load(argv[2]);
        std::vector<com::com_ptr<ITypeLib>> imported;
        for (int i = 4; i < argc; ++i) {
            auto library = load(argv[i]);
            if (is_automation_library_for_another_platform(library.get(), platform))
                library = automation_library_for(platform);
            imported.push_back(library);
        }
        library_writer(platform, declared.get(), std::move(imported), argv[3]).write();
        declared.reset();
    } catch (const failure& f) {
        std::fprintf(stderr, "write_type_library: %s failed (0x%08lx)\n", f.what(),
                     static_cast<unsigned long>(f.result));
        status = 1;
    }
    ::CoUninitialize();
    if (!stand_in_folder.empty()) {
        ::DeleteFileW((stand_in_folder + L"\\stdole2.tlb").c_str());
        ::RemoveDirectoryW(stand_in_folder.c_str());
    }
    return status;
}
