#include "registration.h"

#include "class_catalogue.h"

#include "com/registry.h"

#include <olectl.h>

#include <cstdio>
#include <string>

namespace server {

namespace {

using com::registry::guid_text;
using com::registry::remove_if_empty;
using com::registry::remove_tree;
using com::registry::set_text;

// The automation marshaler, for interfaces described by a type library.
const wchar_t automation_marshaler[] = L"{00020424-0000-0000-C000-000000000046}";

std::wstring version_text(const project& p)
{
    return std::to_wstring(p.major_version) + L"." + std::to_wstring(p.minor_version);
}

// The locale subkey of a type library is written in hexadecimal ("409", "0").
std::wstring locale_text(unsigned long locale)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"%lx", locale);
    return text;
}

std::wstring library_key(const project& p) { return L"TypeLib\\" + guid_text(*p.library); }

std::wstring prog_id(const project& p, const public_class& c)
{
    return std::wstring(p.name) + L"." + std::wstring(c.name);
}

HRESULT register_library(const project& p, const std::wstring& path)
{
    const std::wstring key = library_key(p) + L"\\" + version_text(p);
    const std::wstring folder = path.substr(0, path.find_last_of(L"\\/"));
    HRESULT hr = set_text(key, L"", p.description);
    if (SUCCEEDED(hr))
        hr = set_text(key + L"\\" + locale_text(p.locale) + L"\\" + com::registry::native_platform_key, L"", path);
    if (SUCCEEDED(hr)) hr = set_text(key + L"\\FLAGS", L"", L"0");
    if (SUCCEEDED(hr)) hr = set_text(key + L"\\HELPDIR", L"", folder);
    return hr;
}

HRESULT register_interface(const project& p, const IID& iid, std::wstring_view name)
{
    const std::wstring key = L"Interface\\" + guid_text(iid);
    HRESULT hr = set_text(key, L"", name);
    if (SUCCEEDED(hr)) hr = set_text(key + L"\\ProxyStubClsid", L"", automation_marshaler);
    if (SUCCEEDED(hr)) hr = set_text(key + L"\\ProxyStubClsid32", L"", automation_marshaler);
    if (SUCCEEDED(hr)) hr = set_text(key + L"\\TypeLib", L"", guid_text(*p.library));
    if (SUCCEEDED(hr)) hr = set_text(key + L"\\TypeLib", L"Version", version_text(p));
    return hr;
}

HRESULT register_class(const project& p, const public_class& c, const std::wstring& path)
{
    const std::wstring id = prog_id(p, c);
    const std::wstring clsid = guid_text(*c.clsid);
    const std::wstring key = L"CLSID\\" + clsid;
    HRESULT hr = set_text(id, L"", id);
    if (SUCCEEDED(hr)) hr = set_text(id + L"\\CLSID", L"", clsid);
    if (SUCCEEDED(hr)) hr = set_text(key, L"", id);
    if (SUCCEEDED(hr)) hr = set_text(key + L"\\InprocServer32", L"", path);
    if (SUCCEEDED(hr)) hr = set_text(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    if (SUCCEEDED(hr)) hr = set_text(key + L"\\ProgID", L"", id);
    if (SUCCEEDED(hr)) hr = set_text(key + L"\\TypeLib", L"", guid_text(*p.library));
    if (SUCCEEDED(hr)) hr = set_text(key + L"\\VERSION", L"", version_text(p));
    // The earlier default interface keeps the name it was published under.
    const std::wstring names[] = {L"_" + std::wstring(c.name), std::wstring(c.name) + L"___v0"};
    for (std::size_t i = 0; i < c.default_interfaces.size(); ++i) {
        if (SUCCEEDED(hr) && c.default_interfaces[i]) hr = register_interface(p, *c.default_interfaces[i], names[i]);
    }
    return hr;
}

// Removes every entry; the first failure is reported, but all are tried.
HRESULT remove_all(const project& p)
{
    HRESULT result = S_OK;
    auto keep_first = [&](HRESULT hr) {
        if (SUCCEEDED(result) && FAILED(hr)) result = hr;
    };
    for (const public_class& c : p.classes) {
        keep_first(remove_tree(L"CLSID\\" + guid_text(*c.clsid)));
        keep_first(remove_tree(prog_id(p, c)));
        for (const IID* iid : c.default_interfaces) {
            if (iid) keep_first(remove_tree(L"Interface\\" + guid_text(*iid)));
        }
    }
    keep_first(remove_tree(library_key(p) + L"\\" + version_text(p)));
    keep_first(remove_if_empty(library_key(p)));
    return result;
}

} // namespace

HRESULT register_server() noexcept
{
    try {
        const project& p = registration_table();
        const std::wstring path = com::registry::module_path();
        HRESULT hr = register_library(p, path);
        for (const public_class& c : p.classes) {
            if (SUCCEEDED(hr)) hr = register_class(p, c, path);
        }
        // A registration that fails half-way leaves nothing behind, and the
        // caller learns what failed.
        if (FAILED(hr)) remove_all(p);
        return hr;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT unregister_server() noexcept
{
    try {
        return remove_all(registration_table());
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

} // namespace server
