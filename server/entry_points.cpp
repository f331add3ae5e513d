// The exported entry points of the in-process server.

#include "class_catalogue.h"
#include "registration.h"

#include "diagnostics/thread_services.h"

#include "com/class_factory.h"
#include "com/dual.h"
#include "com/module.h"

extern "C" {

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    return com::boundary(L"K1MrgRls", [&] {
        if (!object) com::throw_with_new_info(E_POINTER, L"K1MrgRls", L"No place for the class object was given.");
        *object = nullptr;
        for (const server::public_class& c : server::registration_table().classes) {
            if (*c.clsid != clsid) continue;
            if (!c.create) break;
            com::check(com::make<com::class_factory>(c.create)->QueryInterface(iid, object));
            return;
        }
        com::throw_with_new_info(CLASS_E_CLASSNOTAVAILABLE, L"K1MrgRls", com::message_text(CLASS_E_CLASSNOTAVAILABLE));
    });
}

HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    if (!com::module::can_unload()) return S_FALSE;
    // The DLL may be unloaded now: the cached type information goes first (it
    // is loaded again should the server be used after all).
    com::release_type_information();
    return S_OK;
}

HRESULT STDAPICALLTYPE DllRegisterServer() { return server::register_server(); }

HRESULT STDAPICALLTYPE DllUnregisterServer() { return server::unregister_server(); }

} // extern "C"
