#include "type_name_service.h"

#include "service_call.h"

#include <com/bstr.h>
#include <com/error.h>

namespace simhost {

namespace {

constexpr long folder_type = 8;
constexpr long search_type = 39;

std::wstring type_name(long type_code)
{
    if (type_code == folder_type) return L"Folder";
    if (type_code == search_type) return L"Search";
    return L"Object type " + number_text(type_code);
}

} // namespace

HRESULT type_name_service::DescribeObjectType(LONG* type_code, BSTR* text) noexcept
{
    return guard([&] {
        enter(operation::type_name_describe_object_type, {type_code ? number_text(*type_code) : L"null"});
        require(type_code);
        require(text);
        *text = com::bstr(type_name(*type_code)).detach();
    });
}

} // namespace simhost
