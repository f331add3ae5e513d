#include "traced_property.h"

#include "trace.h"

#include "com/bstr.h"
#include "com/error.h"

namespace diagnostics {

HRESULT get_traced(std::wstring_view class_label, std::wstring_view member_label, const LONG& field,
                   LONG* value) noexcept
{
    if (!value) return E_POINTER;
    return com::boundary([&] { *value = traced(class_label, member_label, [&] { return field; }); });
}

HRESULT put_traced(std::wstring_view class_label, std::wstring_view member_label, LONG& field, LONG value) noexcept
{
    return com::boundary([&] { traced(class_label, member_label, [&] { field = value; }); });
}

HRESULT get_traced(std::wstring_view class_label, std::wstring_view member_label, const std::wstring& field,
                   BSTR* value) noexcept
{
    if (!value) return E_POINTER;
    *value = nullptr;
    return com::boundary(
        [&] { *value = traced(class_label, member_label, [&] { return com::bstr(field); }).detach(); });
}

HRESULT put_traced(std::wstring_view class_label, std::wstring_view member_label, std::wstring& field,
                   BSTR value) noexcept
{
    return com::boundary([&] { traced(class_label, member_label, [&] { field = com::bstr::view_of(value); }); });
}

} // namespace diagnostics
