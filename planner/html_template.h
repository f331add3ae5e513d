#pragma once
// The HTML report's page (planner/html_report.html), built into the program.

#include <string>

namespace planner {

std::string html_report_template();

} // namespace planner
