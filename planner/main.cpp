// K1MrgPlan: previews a merge's conflict resolution from a plan file, using the
// component through COM as the migration tool does, with the simulated host.
#include "command_line.h"
#include "run.h"
#include "text_encoding.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <io.h>
#include <stdexcept>

namespace {

std::vector<std::string> arguments()
{
    int count = 0;
    LPWSTR* words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> result;
    for (int i = 1; i < count; ++i)
        result.push_back(planner::narrow(words[i]));
    ::LocalFree(words);
    return result;
}

} // namespace

int main()
{
    // Reports are UTF-8 bytes, written as they are.
    ::_setmode(::_fileno(stdout), _O_BINARY);
    // A large report is many lines; each write of its own would cost a system call.
    std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
    try {
        return planner::run(planner::parse_command_line(arguments()));
    } catch (const std::invalid_argument& error) {
        std::fprintf(stderr, "K1MrgPlan: %s\n%s", error.what(), planner::usage);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "K1MrgPlan: out of memory\n");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "K1MrgPlan: %s\n", error.what());
    }
    return planner::exit_unusable;
}
