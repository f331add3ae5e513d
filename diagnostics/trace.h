#pragma once
// Enter and Leave lines of traced operations.

#include <string_view>
#include <type_traits>

namespace diagnostics {

// Writes one line at level 32 through the thread's trace service. A failing
// Trace call fails the operation that traced (it throws).
void trace_enter(std::wstring_view class_label, std::wstring_view member_label);
void trace_leave(std::wstring_view class_label, std::wstring_view member_label);

// Runs one traced operation: its Enter line, the work, its Leave line. A failure
// ends it without the Leave line. The result is handed back after the Leave line
// was written, so an owning result is released if that line fails.
template <class Work> auto traced(std::wstring_view class_label, std::wstring_view member_label, Work&& work)
{
    trace_enter(class_label, member_label);
    if constexpr (std::is_void_v<std::invoke_result_t<Work>>) {
        work();
        trace_leave(class_label, member_label);
    } else {
        auto result = work();
        trace_leave(class_label, member_label);
        return result;
    }
}

} // namespace diagnostics
