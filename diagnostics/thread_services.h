#pragma once
// The host services of the calling thread. Every thread that uses the component
// has its own slots; they are filled by InitializeLoggingAndMessaging or on first
// use, and released when the thread's last live object of the component goes.

#include <K1PriTyp.h>

namespace diagnostics {

struct thread_services {
    ITraceService* trace = nullptr;
    IMessagingService* messaging = nullptr;
    IHostUtility* utility = nullptr;
    ITypeNameService* type_names = nullptr;
    IEnvironmentService* environment = nullptr;
    // A set-up on first trace has been tried since the slots were last emptied.
    bool lazy_setup_tried = false;
};

// The calling thread's slots. They hold raw pointers on purpose: a thread_local
// destructor would release them after the thread's apartment is gone.
thread_services& this_thread_services() noexcept;

// The thread's HostUtility and TypeNameService, created on first use.
IHostUtility& host_utility();
ITypeNameService& type_name_service();

// Releases and empties every slot of the calling thread. Runs when the thread's
// last live object of the component is released; a later set-up on the thread
// starts afresh with new services.
void release_thread_services() noexcept;

} // namespace diagnostics
