#pragma once
// The planner's command line.

#include <optional>
#include <string>
#include <vector>

namespace planner {

struct command_line {
    std::optional<std::string> plan_file; // none: the built-in sample
    // --compare: the plan before a change (plan_file is the plan after it).
    std::optional<std::string> compare_with;
    bool json = false;
    std::optional<std::string> csv;   // a file for one row per answer
    bool strict = false;              // a rule that decided nothing makes the exit status 1
    std::optional<std::string> trace; // a file, or "-" for standard error
    bool progress = false;            // progress lines even when standard error is no terminal
    bool timings = false;             // wall time per phase and peak memory on standard error
    bool print_sample = false;
    bool help = false;
};

// Throws std::invalid_argument with a message for a command line it cannot use.
command_line parse_command_line(const std::vector<std::string>& arguments);

extern const char* const usage;

} // namespace planner
