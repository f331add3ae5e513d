#include "messaging_service.h"

#include "service_call.h"

#include <com/bstr.h>
#include <com/error.h>

namespace simhost {

HRESULT messaging_service::Configure(BSTR initialisation) noexcept
{
    return guard([&] { enter(operation::messaging_configure, {com::bstr::view_of(initialisation)}); });
}

} // namespace simhost
