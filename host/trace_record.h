#pragma once
// The trace line contract between the component and the host's trace service,
// stated once for the component (diagnostics/trace.cpp), the simulated host and
// the planner. Header-only and free of COM, so that every side may include it.
//
// The component calls ITraceService::Trace(level, format, [class label, member
// label]) with an Enter line when a traced member starts and a Leave line when it
// ends. The simulated host records each call as "level|format|argument|...",
// e.g. "32|[%1][%2] Function Enter|CMergeRules|FindAction".

#include <string>
#include <string_view>

namespace host_trace {

inline constexpr long level = 32;
inline constexpr std::wstring_view enter_format = L"[%1][%2] Function Enter";
inline constexpr std::wstring_view leave_format = L"[%1][%2] Function Leave";
inline constexpr wchar_t separator = L'|';

// What a compact record says of a call's format.
enum class format_kind : long { other = 0, enter = 1, leave = 2 };

inline format_kind kind_of(std::wstring_view format) noexcept
{
    if (format == enter_format) return format_kind::enter;
    if (format == leave_format) return format_kind::leave;
    return format_kind::other;
}

// The simulated host's record of the component's Enter line for a member.
inline std::wstring enter_record(std::wstring_view class_label, std::wstring_view member_label)
{
    std::wstring record = std::to_wstring(level);
    record += separator;
    record += enter_format;
    record += separator;
    record += class_label;
    record += separator;
    record += member_label;
    return record;
}

} // namespace host_trace
