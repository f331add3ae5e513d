#include "setup.h"

#include "thread_services.h"

#include "com/bstr.h"

namespace diagnostics {

namespace {

// Set-up failures are not reported: their error information is dropped too.
void forget_error() noexcept
{
    IErrorInfo* info = nullptr;
    if (::GetErrorInfo(0, &info) == S_OK && info) info->Release();
}

template <class I> bool create(I*& slot, REFCLSID clsid) noexcept
{
    return SUCCEEDED(::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, __uuidof(I), reinterpret_cast<void**>(&slot)));
}

bool setup_steps(ITraceService*& trace_slot, IMessagingService*& messaging_slot, std::wstring_view component_name,
                 bool activate)
{
    thread_services& slots = this_thread_services();
    if (!slots.environment && !create(slots.environment, CLSID_EnvironmentService)) return false;
    LONG selector = 0;
    com::bstr messaging_text;
    if (FAILED(slots.environment->GetText(&selector, messaging_text.put()))) return false;

    if (!trace_slot && !create(trace_slot, CLSID_TraceService)) return false;
    if (activate && FAILED(trace_slot->Activate())) return false;
    com::bstr name(component_name);
    if (FAILED(trace_slot->BindComponent(name.get(), 0))) return false;

    if (!messaging_slot) {
        if (!create(messaging_slot, CLSID_MessagingService)) return false;
        if (FAILED(messaging_slot->Configure(messaging_text.get()))) return false;
    }
    return true;
}

} // namespace

void InitializeLoggingAndMessaging(ITraceService*& trace_slot, IMessagingService*& messaging_slot,
                                   std::wstring_view component_name, bool activate) noexcept
{
    try {
        if (!setup_steps(trace_slot, messaging_slot, component_name, activate)) forget_error();
    } catch (...) {
        forget_error();
    }
}

void ensure_thread_setup() noexcept
{
    thread_services& slots = this_thread_services();
    if (!slots.trace) InitializeLoggingAndMessaging(slots.trace, slots.messaging, this_component, true);
}

} // namespace diagnostics
