#pragma once
// FindAction for every object to resolve, and the reason for each action, read
// from the host's compact trace records of that one call: which rule record's
// Action the store read.

#include "component.h"
#include "outcome.h"
#include "plan.h"
#include "simulated_host.h"
#include "trace_sink.h"

#include <functional>

namespace planner {

using lookup_progress = std::function<void(std::size_t done, std::size_t total)>;

// Needs outcome's accepted object rules and folder expansion; fills its lookups.
void run_lookups(const plan& plan, simulated_host& host, component& component, trace_sink& trace, outcome& outcome,
                 const lookup_progress& progress);

// Seconds that FindAction alone takes for every object to resolve, its host
// objects found beforehand and the trace discarded: the floor of run_lookups.
double find_action_alone(const plan& plan, simulated_host& host, component& component);

} // namespace planner
