#pragma once
// Counts that decide when the server may be unloaded, and when a thread's use of
// the server ends.

#include <windows.h>

namespace com::module {

// The module (DLL or program) that holds this code.
HMODULE handle() noexcept;

void object_created() noexcept;
void object_destroyed() noexcept;
void lock() noexcept;
void unlock() noexcept;

// True while no object lives and no factory lock is held.
bool can_unload() noexcept;

// Live objects of this module on the calling thread.
long thread_object_count() noexcept;

// Called on a thread when its last live object of this module is destroyed.
using thread_idle_handler = void (*)();
void on_thread_idle(thread_idle_handler handler) noexcept;

} // namespace com::module
