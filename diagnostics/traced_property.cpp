#include "traced_property.h"

#include "member.h"

namespace diagnostics {

HRESULT get_traced(std::wstring_view class_label, std::wstring_view member_label, const LONG& field,
                   LONG* value) noexcept
{
    return traced_member(class_label, member_label, value, [&] { return field; });
}

HRESULT put_traced(std::wstring_view class_label, std::wstring_view member_label, LONG& field, LONG value) noexcept
{
    return traced_member(class_label, member_label, [&] { field = value; });
}

HRESULT get_traced(std::wstring_view class_label, std::wstring_view member_label, const std::wstring& field,
                   BSTR* value) noexcept
{
    return traced_member(class_label, member_label, value, [&] { return com::bstr(field); });
}

HRESULT put_traced(std::wstring_view class_label, std::wstring_view member_label, std::wstring& field,
                   BSTR value) noexcept
{
    return traced_member(class_label, member_label, [&] { field = com::bstr::view_of(value); });
}

} // namespace diagnostics
