// The DLL's entry points for COM activation and unloading.

#include "creatable_classes.h"
#include "error_modes.h"

#include <com/class_factory.h>
#include <com/dual.h>
#include <com/module.h>

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    for (const simhost::creatable_class& entry : simhost::creatable_classes()) {
        if (clsid != *entry.clsid) continue;
        com::com_ptr<com::class_factory> factory;
        const HRESULT made = simhost::boundary([&] { factory = com::make<com::class_factory>(entry.create); });
        if (FAILED(made)) return made;
        return factory->QueryInterface(iid, object);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow()
{
    if (!com::module::can_unload()) return S_FALSE;
    // The cached type information comes from this DLL's resources: it goes
    // before the DLL does (and is loaded again should the DLL stay after all).
    com::release_type_information();
    return S_OK;
}
