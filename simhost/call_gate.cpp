#include "call_gate.h"

#include <com/error.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
#include <vector>

namespace simhost {

namespace {

struct pending_failure {
    operation op;
    long due; // the call count at which it fires
    injected_failure failure;
};

std::array<std::atomic<long>, operation_count> counts{};
std::atomic<bool> any_pending{false};
std::mutex mutex;
std::vector<pending_failure> pending; // guarded by mutex

std::optional<injected_failure> take_due(operation op, long count)
{
    std::lock_guard guard(mutex);
    // `>=`: a call that raced with InjectFailure may have passed the due count.
    const auto due = std::find_if(pending.begin(), pending.end(),
                                  [&](const pending_failure& p) { return p.op == op && count >= p.due; });
    if (due == pending.end()) return std::nullopt;
    injected_failure failure = std::move(due->failure);
    pending.erase(due);
    any_pending.store(!pending.empty());
    return failure;
}

} // namespace

std::optional<injected_failure> count_call(operation op)
{
    const long count = counts[index_of(op)].fetch_add(1, std::memory_order_relaxed) + 1;
    if (!any_pending.load(std::memory_order_relaxed)) return std::nullopt;
    return take_due(op, count);
}

long call_count(operation op) noexcept { return counts[index_of(op)].load(std::memory_order_relaxed); }

void inject_failure(operation op, long nth, HRESULT code, std::wstring description)
{
    std::lock_guard guard(mutex);
    pending.push_back({op, call_count(op) + nth, {code, std::move(description)}});
    any_pending.store(true);
}

void clear_failures() noexcept
{
    std::lock_guard guard(mutex);
    pending.clear();
    any_pending.store(false);
}

void reset_calls() noexcept
{
    std::lock_guard guard(mutex);
    for (auto& count : counts)
        count.store(0);
    pending.clear();
    any_pending.store(false);
}

HRESULT report(const injected_failure& failure, error_target target) noexcept
{
    return boundary(target, [&] { com::throw_with_new_info(failure.code, L"KSimHost", failure.description); });
}

} // namespace simhost
