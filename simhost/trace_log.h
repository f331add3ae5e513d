#pragma once
// The lines TraceService.Trace records, and where else they go.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace simhost {

inline constexpr long trace_record = 0;  // keep each line
inline constexpr long trace_discard = 1; // keep nothing (benchmarks)
inline constexpr long trace_echo = 2;    // keep each line and copy it to stderr

long trace_mode() noexcept;
// Throws com_error (E_INVALIDARG) for an unknown mode.
void set_trace_mode(long mode);
bool trace_discarded() noexcept;

void record_trace(std::wstring line);
std::vector<std::wstring> trace_lines();
void clear_trace() noexcept;

// Counts, in every mode, the lines equal to `line` from now on, beside the lines
// counted already; empty: counts none.
void set_counted_trace_line(std::wstring line);
// How many lines equal to `line`, one of the counted lines, were traced.
long counted_trace_lines(const std::wstring& line) noexcept;
// Whether a line is being counted, so that a discarding service must still build it.
bool trace_counting() noexcept;
void count_trace(std::wstring_view line) noexcept;

// Compact records: when kept (in every mode, discarding included), each Trace
// call adds four numbers: its level, its format kind (host_trace::format_kind)
// and the ids of its first two arguments (0 when missing or empty). Labels get ids from 1,
// the same text always the same id until reset_trace.
void keep_trace_records(bool keep) noexcept;
bool trace_records_kept() noexcept;
void add_trace_record(long level, std::wstring_view format, std::wstring_view first, std::wstring_view second);
// Hands the records kept so far to `take`, then forgets them.
void take_trace_records(const std::function<void(const std::vector<long>&)>& take);
long trace_label_id(std::wstring_view label);

// Forgets the lines, the records, the labels' ids and the counted lines, and restores the mode.
void reset_trace() noexcept;

} // namespace simhost
