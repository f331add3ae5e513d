#pragma once
// Wall time per phase and the process's peak memory, for --timings and the benchmark.

#include <chrono>
#include <cstdio>

namespace planner {

class timings {
public:
    // floors: also the benchmark's floors (figure), measured only when asked for.
    explicit timings(bool wanted, bool floors = false) noexcept : wanted_(wanted), floors_(floors) {}
    bool floors() const noexcept { return floors_; }
    // Ends the phase running since the last call (or since the start).
    void phase(const char* name);
    // A figure beside the phases (a floor the benchmark compares a phase with).
    void figure(const char* name, double seconds);
    // Leaves the time since the last phase out of the phases and the total.
    void set_aside();
    // The total and the peak working set; call once at the end.
    void finish();

private:
    using clock = std::chrono::steady_clock;
    bool wanted_;
    bool floors_;
    clock::time_point start_ = clock::now();
    clock::time_point last_ = start_;
    clock::duration aside_{};
};

} // namespace planner
