#include "timings.h"

#include <windows.h>
#include <psapi.h>

namespace planner {

namespace {

double seconds(std::chrono::steady_clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

double megabytes(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

PROCESS_MEMORY_COUNTERS memory()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

} // namespace

void timings::phase(const char* name)
{
    const clock::time_point now = clock::now();
    if (wanted_)
        std::fprintf(stderr, "timing: %-22s %9.3f s, working set %.1f MB\n", name, seconds(now - last_),
                     megabytes(memory().WorkingSetSize));
    last_ = now;
}

void timings::figure(const char* name, double seconds)
{
    if (wanted_) std::fprintf(stderr, "timing: floor %-16s %9.3f s\n", name, seconds);
}

void timings::set_aside()
{
    const clock::time_point now = clock::now();
    aside_ += now - last_;
    last_ = now;
}

void timings::finish()
{
    if (!wanted_) return;
    std::fprintf(stderr, "timing: %-22s %9.3f s\n", "total", seconds(clock::now() - start_ - aside_));
    std::fprintf(stderr, "timing: %-22s %9.1f MB\n", "peak working set", megabytes(memory().PeakWorkingSetSize));
}

} // namespace planner
