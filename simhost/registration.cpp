// Self-registration: the host's type libraries and KSimHost's own, embedded as
// TYPELIB resources, and the six classes with their ProgIDs.

#include "creatable_classes.h"

#include "error_modes.h"

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

HRESULT unregister_library(const GUID& libid) noexcept
{
    BSTR registered = nullptr;
    if (FAILED(::QueryPathOfRegTypeLib(libid, library_major, library_minor, 0, &registered))) return S_OK;
    ::SysFreeString(registered);
    return ::UnRegisterTypeLib(libid, library_major, library_minor, 0, com::registry::native_syskind);
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

// Tries every removal, so that as much as possible goes; the first failure is the result.
HRESULT unregister_all() noexcept
{
    HRESULT result = S_OK;
    const auto keep_first = [&](HRESULT hr) {
        if (SUCCEEDED(result) && FAILED(hr)) result = hr;
    };
    try {
        for (const simhost::creatable_class& entry : simhost::creatable_classes()) {
            keep_first(com::registry::remove_tree(L"CLSID\\" + com::registry::guid_text(*entry.clsid)));
            keep_first(com::registry::remove_tree(entry.prog_id));
        }
    } catch (...) {
        keep_first(E_OUTOFMEMORY);
    }
    // Dependent libraries go before the ones they import.
    for (auto library = std::rbegin(libraries); library != std::rend(libraries); ++library)
        keep_first(unregister_library(*library->libid));
    return result;
}

} // namespace

STDAPI DllRegisterServer()
{
    const HRESULT registered = simhost::boundary([] {
        const std::wstring module = com::registry::module_path();
        for (const embedded_library& library : libraries)
            register_library(library_path(module, library.resource));
        for (const simhost::creatable_class& entry : simhost::creatable_classes())
            register_class(entry, module);
    });
    if (SUCCEEDED(registered)) return S_OK;
    // A registration that stops half-way leaves nothing behind; the caller gets
    // the failure that stopped it, with its error information.
    com::com_ptr<IErrorInfo> info;
    if (::GetErrorInfo(0, info.put()) != S_OK) info.reset();
    unregister_all();
    ::SetErrorInfo(0, info.get());
    return registered;
}

STDAPI DllUnregisterServer() { return unregister_all(); }
