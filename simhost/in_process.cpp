#include "in_process.h"

#include "creatable_classes.h"

#include <com/class_factory.h>
#include <com/error.h>

namespace simhost {

in_process_host::in_process_host()
{
    try {
        for (const creatable_class& entry : creatable_classes()) {
            const com::com_ptr<com::class_factory> factory = com::make<com::class_factory>(entry.create);
            DWORD cookie = 0;
            // COM keeps its own reference to the factory until the class is revoked.
            com::check(::CoRegisterClassObject(*entry.clsid, static_cast<IClassFactory*>(factory.get()),
                                               CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie));
            cookies_.push_back(cookie);
        }
    } catch (...) {
        revoke();
        throw;
    }
}

in_process_host::~in_process_host() { revoke(); }

void in_process_host::revoke() noexcept
{
    for (DWORD cookie : cookies_)
        ::CoRevokeClassObject(cookie);
    cookies_.clear();
}

} // namespace simhost
