#include "call_log.h"

#include <map>
#include <mutex>
#include <utility>

namespace simhost {

namespace {

std::mutex mutex;
std::vector<std::wstring> calls;                       // guarded by mutex
std::map<std::pair<operation, DWORD>, long> instances; // guarded by mutex

} // namespace

void log_call(std::wstring line)
{
    std::lock_guard guard(mutex);
    calls.push_back(std::move(line));
}

std::vector<std::wstring> logged_calls()
{
    std::lock_guard guard(mutex);
    return calls;
}

void clear_logged_calls() noexcept
{
    std::lock_guard guard(mutex);
    calls.clear();
}

void count_instance(operation creation)
{
    std::lock_guard guard(mutex);
    ++instances[{creation, ::GetCurrentThreadId()}];
}

long instance_count(operation creation, DWORD thread) noexcept
{
    std::lock_guard guard(mutex);
    long total = 0;
    for (const auto& [key, count] : instances) {
        if (key.first == creation && (thread == 0 || key.second == thread)) total += count;
    }
    return total;
}

void reset_call_log() noexcept
{
    std::lock_guard guard(mutex);
    calls.clear();
    instances.clear();
}

} // namespace simhost
