#pragma once
// The per-thread set-up of tracing and messaging.

#include <K1PriTyp.h>

#include <string_view>

namespace diagnostics {

// Fills the trace and messaging slots of the thread: reads the messaging text
// from the environment service, creates the trace service, activates it and binds
// the component, then creates and configures the messaging service. Any failing
// step ends the routine quietly, keeping what earlier steps stored.
void InitializeLoggingAndMessaging(ITraceService*& trace_slot, IMessagingService*& messaging_slot,
                                   std::wstring_view component_name, bool activate) noexcept;

// What the set-up classes do on construction: set up the thread unless its trace
// slot is filled already.
void ensure_thread_setup() noexcept;

inline constexpr std::wstring_view this_component = L"K1MrgRls";

} // namespace diagnostics
