#include "environment_service.h"

#include "service_call.h"
#include "settings.h"

#include <com/bstr.h>
#include <com/error.h>

namespace simhost {

HRESULT environment_service::GetText(LONG* selector, BSTR* text) noexcept
{
    return guard([&] {
        enter(operation::environment_get_text, {selector ? number_text(*selector) : L"null"});
        require(selector);
        require(text);
        *text = com::bstr(environment_text()).detach();
    });
}

} // namespace simhost
