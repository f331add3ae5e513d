#pragma once
// Self-registration from the registration table.

#include <objbase.h>

namespace server {

HRESULT register_server() noexcept;
HRESULT unregister_server() noexcept;

} // namespace server
