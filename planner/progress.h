#pragma once
// Progress lines on standard error for the long phases of a large plan, only
// when someone watches (a terminal) or asks for them.

#include <cstddef>

namespace planner {

inline constexpr std::size_t progress_threshold = 10000;

class progress {
public:
    explicit progress(bool forced);

    // Announces a phase that reports no steps.
    void start(const char* phase, std::size_t size);
    // Shows done of total (total 0: unknown) once the work is large enough.
    void step(const char* phase, std::size_t done, std::size_t total);
    void done(const char* phase, std::size_t total);

private:
    bool enabled_;
};

} // namespace planner
