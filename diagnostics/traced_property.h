#pragma once
// Plain stored properties whose read and write are traced under one label, as
// COM members: a status, the value through the out-parameter.

#include <oaidl.h>

#include <string>
#include <string_view>

namespace diagnostics {

HRESULT get_traced(std::wstring_view class_label, std::wstring_view member_label, const LONG& field,
                   LONG* value) noexcept;
HRESULT put_traced(std::wstring_view class_label, std::wstring_view member_label, LONG& field, LONG value) noexcept;

// Texts are copied both ways; a null BSTR is the empty text.
HRESULT get_traced(std::wstring_view class_label, std::wstring_view member_label, const std::wstring& field,
                   BSTR* value) noexcept;
HRESULT put_traced(std::wstring_view class_label, std::wstring_view member_label, std::wstring& field,
                   BSTR value) noexcept;

} // namespace diagnostics
