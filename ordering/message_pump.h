#pragma once
// The level sort lets the thread's message loop run while it works, so that a
// host user interface stays responsive. The yield goes through a per-thread hook
// that a host without a message loop, or a test, can replace.

#include <functional>

namespace ordering {

// Processes the calling thread's pending window messages, then returns.
void yield_to_message_pump();

// What a yield does on the calling thread; an empty hook restores the default,
// pump_pending_messages. Returns the hook it replaces.
using yield_hook = std::function<void()>;
yield_hook replace_yield_hook(yield_hook hook);

// The default yield: translates and dispatches every pending message of the
// thread's queue until none is left.
void pump_pending_messages();

// Installs a hook for the life of a scope, then puts the previous one back.
class scoped_yield_hook {
public:
    explicit scoped_yield_hook(yield_hook hook) : previous_(replace_yield_hook(std::move(hook))) {}
    ~scoped_yield_hook() { replace_yield_hook(std::move(previous_)); }
    scoped_yield_hook(const scoped_yield_hook&) = delete;
    scoped_yield_hook& operator=(const scoped_yield_hook&) = delete;

private:
    yield_hook previous_;
};

} // namespace ordering
