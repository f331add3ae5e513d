#include "progress.h"

#include <windows.h>

#include <cstdio>

namespace planner {

progress::progress(bool forced) : enabled_(forced || ::GetFileType(::GetStdHandle(STD_ERROR_HANDLE)) == FILE_TYPE_CHAR)
{}

void progress::start(const char* phase, std::size_t size)
{
    if (!enabled_ || size <= progress_threshold) return;
    std::fprintf(stderr, "\r%s ...", phase);
    std::fflush(stderr);
}

void progress::step(const char* phase, std::size_t done, std::size_t total)
{
    if (!enabled_ || (total ? total : done) <= progress_threshold) return;
    if (total)
        std::fprintf(stderr, "\r%s: %zu of %zu", phase, done, total);
    else
        std::fprintf(stderr, "\r%s: %zu", phase, done);
    std::fflush(stderr);
}

void progress::done(const char* phase, std::size_t total)
{
    if (!enabled_ || total <= progress_threshold) return;
    std::fprintf(stderr, "\r%s: %zu, done\n", phase, total);
    std::fflush(stderr);
}

} // namespace planner
