#pragma once
// Counts the calls of every operation and holds the failures tests inject. The
// count is one atomic increment and, while no failure is pending, one atomic
// load: host object properties pass here millions of times in benchmarks.

#include "error_modes.h"
#include "operations.h"

#include <windows.h>

#include <optional>
#include <string>

namespace simhost {

struct injected_failure {
    HRESULT code;
    std::wstring description;
};

// Counts a call of `op`; the failure it must report instead of working, if one
// was injected for this call.
std::optional<injected_failure> count_call(operation op);

long call_count(operation op) noexcept;

// The `nth` call of `op` from now on (1: the next one) fails once.
void inject_failure(operation op, long nth, HRESULT code, std::wstring description);
void clear_failures() noexcept;

// Sets every count to zero and forgets the pending failures.
void reset_calls() noexcept;

// Reports an injected failure of an operation of `target`: the HRESULT, with error
// information from "KSimHost" unless the target's mode says otherwise.
HRESULT report(const injected_failure& failure, error_target target) noexcept;

} // namespace simhost
