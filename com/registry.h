#pragma once
// Registry writes for self-registration. Paths are below HKEY_CLASSES_ROOT.

#include <objbase.h>
#include <oaidl.h>
#include <windows.h>

#include <string>
#include <string_view>

namespace com::registry {

// A type library is registered, and must be built, for the bitness of the
// processes that load it: a 32-bit process reads the "win32" subkey, a 64-bit
// one "win64".
inline constexpr SYSKIND native_syskind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
inline constexpr const wchar_t* native_platform_key = sizeof(void*) == 8 ? L"win64" : L"win32";

// Creates the key if needed and sets a text value (`name` empty: the default value).
HRESULT set_text(std::wstring_view key, std::wstring_view name, std::wstring_view value) noexcept;

// Removes the key with everything below it; a missing key is no error.
HRESULT remove_tree(std::wstring_view key) noexcept;

// Removes the key if nothing is left in it; a missing key is no error.
HRESULT remove_if_empty(std::wstring_view key) noexcept;

std::wstring guid_text(REFGUID guid);

// This module's file path.
std::wstring module_path();

} // namespace com::registry
