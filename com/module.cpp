#include "module.h"

#include <atomic>

namespace com::module {

namespace {

std::atomic<long> live_objects{0};
std::atomic<long> locks{0};
std::atomic<thread_idle_handler> idle_handler{nullptr};
thread_local long thread_objects = 0;

} // namespace

HMODULE handle() noexcept
{
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&handle), &module);
    return module;
}

void object_created() noexcept
{
    ++live_objects;
    ++thread_objects;
}

void object_destroyed() noexcept
{
    --live_objects;
    if (--thread_objects == 0) {
        if (thread_idle_handler handler = idle_handler.load()) handler();
    }
}

void lock() noexcept { ++locks; }
// An unbalanced unlock is ignored: the count never goes below zero.
void unlock() noexcept
{
    long held = locks.load();
    while (held > 0 && !locks.compare_exchange_weak(held, held - 1)) {
    }
}

bool can_unload() noexcept { return live_objects.load() == 0 && locks.load() == 0; }

long thread_object_count() noexcept { return thread_objects; }

void on_thread_idle(thread_idle_handler handler) noexcept { idle_handler.store(handler); }

} // namespace com::module
