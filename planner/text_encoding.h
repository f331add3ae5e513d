#pragma once
// UTF-8 inside the planner, UTF-16 at the COM boundary.

#include <string>
#include <string_view>

namespace planner {

std::wstring widen(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string narrow(std::wstring_view text);

} // namespace planner
