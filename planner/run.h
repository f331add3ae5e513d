#pragma once
// One run of the planner: read the plan, fill the simulated host, drive the
// component, report. Returns the exit status.

#include "command_line.h"

namespace planner {

inline constexpr int exit_accepted = 0;
inline constexpr int exit_refused = 1;
inline constexpr int exit_unusable = 2;
// --compare, as diff has it.
inline constexpr int exit_unchanged = 0;
inline constexpr int exit_changed = 1;

int run(const command_line& command);

} // namespace planner
