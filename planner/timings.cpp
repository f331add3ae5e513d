#include "timings.h"

#include <windows.h>
#include <psapi.h>

namespace planner {

namespace {

double seconds(std::chrono::steady_clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

} // namespace

void timings::phase(const char* name)
{
    const clock::time_point now = clock::now();
    if (wanted_) std::fprintf(stderr, "timing: %-22s %9.3f s\n", name, seconds(now - last_));
    last_ = now;
}

void timings::finish()
{
    if (!wanted_) return;
    std::fprintf(stderr, "timing: %-22s %9.3f s\n", "total", seconds(clock::now() - start_));
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters))
        std::fprintf(stderr, "timing: %-22s %9.1f MB\n", "peak working set",
                     static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0));
}

} // namespace planner
