#include "trace_log.h"

#include "variant_text.h"

#include <com/error.h>
#include <host/trace_record.h>

#include <atomic>
#include <map>
#include <cstdio>
#include <functional>
#include <mutex>
#include <unordered_map>

namespace simhost {

namespace {

std::atomic<long> mode{trace_record};
std::mutex mutex;
std::vector<std::wstring> lines;                   // guarded by mutex
std::map<std::wstring, long, std::less<>> counted; // guarded by mutex: each counted line and its count
std::atomic<bool> counting{false};
// Looks a label up by view, without making a text of it first. Not noexcept, so
// that the map may keep each label's hash (see common/keyed_table.h).
struct label_hash {
    using is_transparent = void;
    std::size_t operator()(std::wstring_view label) const { return std::hash<std::wstring_view>{}(label); }
};
std::atomic<bool> keeping_records{false};
std::vector<long> records;                                                     // guarded by mutex
std::unordered_map<std::wstring, long, label_hash, std::equal_to<>> label_ids; // guarded by mutex

long label_id_locked(std::wstring_view label)
{
    if (const auto known = label_ids.find(label); known != label_ids.end()) return known->second;
    const long id = static_cast<long>(label_ids.size()) + 1;
    label_ids.emplace(std::wstring(label), id);
    return id;
}

} // namespace

long trace_mode() noexcept { return mode.load(std::memory_order_relaxed); }

void set_trace_mode(long new_mode)
{
    if (new_mode != trace_record && new_mode != trace_discard && new_mode != trace_echo)
        com::throw_with_new_info(E_INVALIDARG, L"KSimHost", L"The trace mode must be 0, 1 or 2.");
    mode.store(new_mode);
}

bool trace_discarded() noexcept { return trace_mode() == trace_discard; }

void record_trace(std::wstring line)
{
    std::lock_guard guard(mutex);
    if (trace_mode() == trace_echo) {
        const std::string text = to_utf8(line) + "\n";
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fflush(stderr);
    }
    lines.push_back(std::move(line));
}

std::vector<std::wstring> trace_lines()
{
    std::lock_guard guard(mutex);
    return lines;
}

void clear_trace() noexcept
{
    std::lock_guard guard(mutex);
    lines.clear();
    records.clear();
}

void keep_trace_records(bool keep) noexcept { keeping_records.store(keep); }

bool trace_records_kept() noexcept { return keeping_records.load(std::memory_order_relaxed); }

void add_trace_record(long level, std::wstring_view format, std::wstring_view first, std::wstring_view second)
{
    std::lock_guard guard(mutex);
    const long kind = static_cast<long>(host_trace::kind_of(format));
    const long first_id = first.empty() ? 0 : label_id_locked(first);
    const long second_id = second.empty() ? 0 : label_id_locked(second);
    records.insert(records.end(), {level, kind, first_id, second_id});
}

void take_trace_records(const std::function<void(const std::vector<long>&)>& take)
{
    std::lock_guard guard(mutex);
    take(records);
    records.clear(); // keeps its capacity for the next call's records
}

long trace_label_id(std::wstring_view label)
{
    std::lock_guard guard(mutex);
    return label_id_locked(label);
}

void set_counted_trace_line(std::wstring line)
{
    std::lock_guard guard(mutex);
    if (line.empty())
        counted.clear();
    else
        counted[std::move(line)] = 0;
    counting.store(!counted.empty());
}

long counted_trace_lines(const std::wstring& line) noexcept
{
    std::lock_guard guard(mutex);
    const auto found = counted.find(line);
    return found == counted.end() ? 0 : found->second;
}

bool trace_counting() noexcept { return counting.load(std::memory_order_relaxed); }

void count_trace(std::wstring_view line) noexcept
{
    if (!trace_counting()) return;
    std::lock_guard guard(mutex);
    const auto found = counted.find(line);
    if (found == counted.end()) return;
    ++found->second;
}

void reset_trace() noexcept
{
    std::lock_guard guard(mutex);
    lines.clear();
    records.clear();
    label_ids.clear();
    keeping_records.store(false);
    counted.clear();
    counting.store(false);
    mode.store(trace_record);
}

} // namespace simhost
