#include "command_line.h"

#include <stdexcept>

namespace planner {

const char* const usage =
    "usage: K1MrgPlan [--json] [--csv FILE] [--strict] [--trace FILE|-] [--progress] [--timings] [PLAN]\n"
    "       K1MrgPlan --compare BEFORE AFTER [--json]\n"
    "       K1MrgPlan --sample   (prints the built-in sample plan)\n"
    "Without PLAN the built-in sample plan is used.\n"
    "Exit status: 0 everything accepted, 1 entries refused (with --strict also: a rule decided nothing),\n"
    "2 the plan cannot be used. With --compare: 0 nothing changed, 1 something changed, 2 a plan cannot be used.\n";

command_line parse_command_line(const std::vector<std::string>& arguments)
{
    command_line result;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--json") {
            result.json = true;
        } else if (argument == "--trace") {
            if (i + 1 == arguments.size()) throw std::invalid_argument("--trace needs a file name or -");
            result.trace = arguments[++i];
        } else if (argument == "--csv") {
            if (i + 1 == arguments.size()) throw std::invalid_argument("--csv needs a file name");
            result.csv = arguments[++i];
        } else if (argument == "--strict") {
            result.strict = true;
        } else if (argument == "--compare") {
            if (i + 2 >= arguments.size()) throw std::invalid_argument("--compare needs two plan files");
            result.compare_with = arguments[++i];
            result.plan_file = arguments[++i];
        } else if (argument == "--progress") {
            result.progress = true;
        } else if (argument == "--timings") {
            result.timings = true;
        } else if (argument == "--sample") {
            result.print_sample = true;
        } else if (argument == "--help" || argument == "-h") {
            result.help = true;
        } else if (argument.size() > 1 && argument[0] == '-') {
            throw std::invalid_argument("unknown option " + argument);
        } else if (result.plan_file) {
            throw std::invalid_argument(result.compare_with ? "--compare takes two plan files, no more"
                                                            : "only one plan file, please");
        } else {
            result.plan_file = argument;
        }
    }
    if (result.compare_with && (result.csv || result.strict || result.trace))
        throw std::invalid_argument("--compare writes one report: no --csv, --strict or --trace with it");
    return result;
}

} // namespace planner
