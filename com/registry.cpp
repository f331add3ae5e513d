#include "registry.h"

#include "module.h"

namespace com::registry {

HRESULT set_text(std::wstring_view key, std::wstring_view name, std::wstring_view value) noexcept
{
    try {
        HKEY handle = nullptr;
        const std::wstring key_text(key);
        LSTATUS status = ::RegCreateKeyExW(HKEY_CLASSES_ROOT, key_text.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                           &handle, nullptr);
        if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
        const std::wstring name_text(name);
        const std::wstring value_text(value);
        status = ::RegSetValueExW(handle, name_text.empty() ? nullptr : name_text.c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(value_text.c_str()),
                                  static_cast<DWORD>((value_text.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(handle);
        return HRESULT_FROM_WIN32(status);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT remove_tree(std::wstring_view key) noexcept
{
    try {
        const std::wstring key_text(key);
        // Deletes the key itself too.
        const LSTATUS status = ::RegDeleteTreeW(HKEY_CLASSES_ROOT, key_text.c_str());
        return status == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(status);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT remove_if_empty(std::wstring_view key) noexcept
{
    try {
        const std::wstring key_text(key);
        HKEY handle = nullptr;
        LSTATUS status = ::RegOpenKeyExW(HKEY_CLASSES_ROOT, key_text.c_str(), 0, KEY_READ, &handle);
        if (status == ERROR_FILE_NOT_FOUND) return S_OK;
        if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
        DWORD subkeys = 0, values = 0;
        status = ::RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                    nullptr, nullptr, nullptr);
        ::RegCloseKey(handle);
        if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
        if (subkeys != 0 || values != 0) return S_OK;
        return HRESULT_FROM_WIN32(::RegDeleteKeyW(HKEY_CLASSES_ROOT, key_text.c_str()));
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

std::wstring guid_text(REFGUID guid)
{
    wchar_t text[40] = {};
    ::StringFromGUID2(guid, text, 40);
    return text;
}

std::wstring module_path()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(module::handle(), path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

} // namespace com::registry
