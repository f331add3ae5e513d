#pragma once
// The simulated trace service's records ("32|[%1][%2] Function Enter|CMergeRules|FindAction")
// and the lines they stand for ("[CMergeRules][FindAction] Function Enter").

#include <string>
#include <string_view>

namespace planner {

// The record's format with %1, %2... replaced by its arguments.
std::wstring trace_line_of(std::wstring_view record);

} // namespace planner
