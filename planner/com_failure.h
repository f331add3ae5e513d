#pragma once
// What a failed COM call reported: its HRESULT and its error information.

#include <windows.h>

#include <string>

namespace planner {

struct com_failure {
    HRESULT hr = S_OK;
    std::string source;
    std::string message;

    // The error number as automation clients see it: the low word of a
    // 0x800A.... HRESULT, otherwise the HRESULT itself.
    long long number() const noexcept;
    // "error 63602 from CMergeRules: ..." (or "failed 0x80004001: ..." for other HRESULTs).
    std::string describe() const;
};

// The failure of a call that just returned hr, with the thread's error
// information, which this takes.
com_failure failure_of(HRESULT hr);

} // namespace planner
