#pragma once
// Wall time per phase and the process's peak memory, for --timings and the benchmark.

#include <chrono>
#include <cstdio>

namespace planner {

class timings {
public:
    explicit timings(bool wanted) noexcept : wanted_(wanted) {}
    // Ends the phase running since the last call (or since the start).
    void phase(const char* name);
    // The total and the peak working set; call once at the end.
    void finish();

private:
    using clock = std::chrono::steady_clock;
    bool wanted_;
    clock::time_point start_ = clock::now();
    clock::time_point last_ = start_;
};

} // namespace planner
