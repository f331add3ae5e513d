#include "small_services.h"

#include "service_call.h"
#include "settings.h"

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

HRESULT messaging_service::Configure(BSTR initialisation) noexcept
{
    return guard([&] { enter(operation::messaging_configure, {com::bstr::view_of(initialisation)}); });
}

HRESULT environment_service::GetText(LONG* selector, BSTR* text) noexcept
{
    return guard([&] {
        answer_number(operation::environment_get_text, selector, text, [](long) { return environment_text(); });
    });
}

HRESULT type_name_service::DescribeObjectType(LONG* type_code, BSTR* text) noexcept
{
    return guard([&] { answer_number(operation::type_name_describe_object_type, type_code, text, type_name); });
}

} // namespace simhost
