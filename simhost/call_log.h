#pragma once
// The calls made to the services, in order across threads, and the service
// instances created on each thread.

#include "operations.h"

#include <windows.h>

#include <string>
#include <vector>

namespace simhost {

void log_call(std::wstring line);
std::vector<std::wstring> logged_calls();
void clear_logged_calls() noexcept;

// Counts an instance made by `creation` ("Service.Create") on the calling thread.
void count_instance(operation creation);
// Instances made by `creation` on a thread; thread 0 means on every thread.
long instance_count(operation creation, DWORD thread) noexcept;

// Forgets the calls and the instance counts.
void reset_call_log() noexcept;

} // namespace simhost
