#include "thread_services.h"

#include "com/error.h"
#include "com/module.h"

namespace diagnostics {

namespace {

thread_local thread_services slots;

template <class I> I& create_on_first_use(I*& slot, REFCLSID clsid)
{
    if (!slot) {
        I* created = nullptr;
        const HRESULT hr =
            ::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, __uuidof(I), reinterpret_cast<void**>(&created));
        if (FAILED(hr)) com::throw_with_thread_info(hr);
        slot = created;
    }
    return *slot;
}

template <class I> void release(I*& slot) noexcept
{
    if (I* service = slot) {
        slot = nullptr;
        service->Release();
    }
}

} // namespace

thread_services& this_thread_services() noexcept
{
    // The slots are emptied when a thread's last object of the component goes.
    static const bool released_when_idle = (com::module::on_thread_idle(release_thread_services), true);
    (void)released_when_idle;
    return slots;
}

// Every way to the slots goes through this_thread_services(), which makes sure
// the slots are emptied when the thread's last object goes.
IHostUtility& host_utility() { return create_on_first_use(this_thread_services().utility, CLSID_HostUtility); }

ITypeNameService& type_name_service()
{
    return create_on_first_use(this_thread_services().type_names, CLSID_TypeNameService);
}

void release_thread_services() noexcept
{
    // Services must not be released once the thread has left its apartment
    // (an object released after CoUninitialize): they are left alone then.
    APTTYPE type;
    APTTYPEQUALIFIER qualifier;
    if (FAILED(::CoGetApartmentType(&type, &qualifier))) return;
    release(slots.trace);
    release(slots.messaging);
    release(slots.utility);
    release(slots.type_names);
    release(slots.environment);
    slots.lazy_setup_tried = false;
}

} // namespace diagnostics
