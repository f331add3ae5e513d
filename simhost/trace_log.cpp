#include "trace_log.h"

#include "variant_text.h"

#include <com/error.h>

#include <atomic>
#include <map>
#include <cstdio>
#include <mutex>

namespace simhost {

namespace {

std::atomic<long> mode{trace_record};
std::mutex mutex;
std::vector<std::wstring> lines;      // guarded by mutex
std::map<std::wstring, long> counted; // guarded by mutex: each counted line and its count
std::atomic<bool> counting{false};

} // namespace

long trace_mode() noexcept { return mode.load(std::memory_order_relaxed); }

void set_trace_mode(long new_mode)
{
    if (new_mode != trace_record && new_mode != trace_discard && new_mode != trace_echo)
        com::throw_with_new_info(E_INVALIDARG, L"KSimHost", L"The trace mode must be 0, 1 or 2.");
    mode.store(new_mode);
}

bool trace_discarded() noexcept { return trace_mode() == trace_discard; }

void record_trace(std::wstring line)
{
    std::lock_guard guard(mutex);
    if (trace_mode() == trace_echo) {
        const std::string text = to_utf8(line) + "\n";
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fflush(stderr);
    }
    lines.push_back(std::move(line));
}

std::vector<std::wstring> trace_lines()
{
    std::lock_guard guard(mutex);
    return lines;
}

void clear_trace() noexcept
{
    std::lock_guard guard(mutex);
    lines.clear();
}

void set_counted_trace_line(std::wstring line)
{
    std::lock_guard guard(mutex);
    if (line.empty())
        counted.clear();
    else
        counted[std::move(line)] = 0;
    counting.store(!counted.empty());
}

long counted_trace_lines(const std::wstring& line) noexcept
{
    std::lock_guard guard(mutex);
    const auto found = counted.find(line);
    return found == counted.end() ? 0 : found->second;
}

bool trace_counting() noexcept { return counting.load(std::memory_order_relaxed); }

void count_trace(const std::wstring& line) noexcept
{
    if (!trace_counting()) return;
    std::lock_guard guard(mutex);
    const auto found = counted.find(line);
    if (found == counted.end()) return;
    ++found->second;
}

void reset_trace() noexcept
{
    std::lock_guard guard(mutex);
    lines.clear();
    counted.clear();
    counting.store(false);
    mode.store(trace_record);
}

} // namespace simhost
