#pragma once
// The built-in sample plan (examples/sample-plan.json, embedded as a resource).

#include <string_view>

namespace planner {

inline constexpr int sample_plan_resource = 101;

std::string_view sample_plan() noexcept;

} // namespace planner
