#include "creatable_classes.h"

#include "call_log.h"
#include "host_utility.h"
#include "service_call.h"
#include "sim_host_control.h"
#include "small_services.h"
#include "trace_service.h"

#include <com/error.h>

#include <K1PriTyp.h>
#include <KSimHost.h>

namespace simhost {

namespace {

// Creating a service is an operation like any other: counted, logged as
// "Service.Create()" and able to fail; a created instance counts for its thread.
template <class Service> HRESULT create_service(REFIID iid, void** object) noexcept
{
    return boundary(Service::target, [&] {
        enter(Service::creation, {});
        com::check(com::create_instance<Service>(iid, object));
        count_instance(Service::creation);
    });
}

constexpr creatable_class classes[] = {
    {&CLSID_TraceService, L"KSimHost TraceService", L"KSimHost.TraceService", create_service<trace_service>},
    {&CLSID_MessagingService, L"KSimHost MessagingService", L"KSimHost.MessagingService",
     create_service<messaging_service>},
    {&CLSID_EnvironmentService, L"KSimHost EnvironmentService", L"KSimHost.EnvironmentService",
     create_service<environment_service>},
    {&CLSID_HostUtility, L"KSimHost HostUtility", L"KSimHost.HostUtility", create_service<host_utility>},
    {&CLSID_TypeNameService, L"KSimHost TypeNameService", L"KSimHost.TypeNameService",
     create_service<type_name_service>},
    {&CLSID_SimHostControl, L"KSimHost SimHostControl", L"KSimHost.Control", com::create_instance<sim_host_control>},
};

} // namespace

std::span<const creatable_class> creatable_classes() noexcept { return classes; }

} // namespace simhost
