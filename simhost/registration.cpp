// Self-registration: the host's type libraries and KSimHost's own, embedded as
// TYPELIB resources, and the six classes with their ProgIDs.

#include "creatable_classes.h"

#include <com/error.h>
#include <com/registry.h>

#include <K1PriTyp.h>
#include <K1TypLib.h>
#include <K5TYPLIB.h>
#include <KSimHost.h>

#include <string>

namespace {

struct embedded_library {
    const GUID* libid;
    int resource; // TYPELIB resource number; 1 is the module's own path
};

// In registration order: the libraries that others import come first.
constexpr embedded_library libraries[] = {
    {&LIBID_KSQCOMMasterLib, 2},
    {&LIBID_KSQAdministratorLib, 3},
    {&LIBID_KSQAdministratorPrivateLib, 4},
    {&LIBID_KSimHostLib, 1},
};

constexpr WORD library_major = 1;
constexpr WORD library_minor = 0;

std::wstring library_path(const std::wstring& module, int resource)
{
    return resource == 1 ? module : module + L"\\" + std::to_wstring(resource);
}

void register_library(std::wstring path)
{
    com::com_ptr<ITypeLib> library;
    com::check(::LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put()));
    // The SDK declares the path non-const; RegisterTypeLib does not change it.
    com::check(::RegisterTypeLib(library.get(), path.data(), nullptr));
}

void unregister_library(const GUID& libid)
{
    BSTR registered = nullptr;
    if (FAILED(::QueryPathOfRegTypeLib(libid, library_major, library_minor, 0, &registered))) return;
    ::SysFreeString(registered);
    com::check(::UnRegisterTypeLib(libid, library_major, library_minor, 0, SYS_WIN64));
}

void register_class(const simhost::creatable_class& entry, const std::wstring& module)
{
    const std::wstring clsid = com::registry::guid_text(*entry.clsid);
    const std::wstring class_key = L"CLSID\\" + clsid;
    com::check(com::registry::set_text(class_key, L"", entry.name));
    com::check(com::registry::set_text(class_key + L"\\InprocServer32", L"", module));
    com::check(com::registry::set_text(class_key + L"\\InprocServer32", L"ThreadingModel", L"Both"));
    com::check(com::registry::set_text(class_key + L"\\ProgID", L"", entry.prog_id));
    com::check(com::registry::set_text(entry.prog_id, L"", entry.name));
    com::check(com::registry::set_text(std::wstring(entry.prog_id) + L"\\CLSID", L"", clsid));
}

void unregister_class(const simhost::creatable_class& entry)
{
    com::check(com::registry::remove_tree(L"CLSID\\" + com::registry::guid_text(*entry.clsid)));
    com::check(com::registry::remove_tree(entry.prog_id));
}

} // namespace

STDAPI DllRegisterServer()
{
    return com::boundary([] {
        const std::wstring module = com::registry::module_path();
        for (const embedded_library& library : libraries)
            register_library(library_path(module, library.resource));
        for (const simhost::creatable_class& entry : simhost::creatable_classes())
            register_class(entry, module);
    });
}

STDAPI DllUnregisterServer()
{
    return com::boundary([] {
        for (const simhost::creatable_class& entry : simhost::creatable_classes())
            unregister_class(entry);
        // Dependent libraries go before the ones they import.
        for (auto library = std::rbegin(libraries); library != std::rend(libraries); ++library)
            unregister_library(*library->libid);
    });
}
