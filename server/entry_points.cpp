// The exported entry points of the in-process server.

#include "class_catalogue.h"
#include "registration.h"

#include "diagnostics/thread_services.h"

#include "com/class_factory.h"
#include "com/module.h"

extern "C" {

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    for (const server::public_class& c : server::registration_table().classes) {
        if (*c.clsid != clsid) continue;
        if (!c.create) break;
        return com::boundary([&] {
            com::check(com::make<com::class_factory>(c.create)->QueryInterface(iid, object));
        });
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() { return com::module::can_unload() ? S_OK : S_FALSE; }

HRESULT STDAPICALLTYPE DllRegisterServer() { return server::register_server(); }

HRESULT STDAPICALLTYPE DllUnregisterServer() { return server::unregister_server(); }

} // extern "C"
