#include "trace_log.h"

#include "variant_text.h"

#include <com/error.h>

#include <windows.h>

#include <atomic>
#include <map>
#include <cstdio>
#include <mutex>

namespace simhost {

namespace {

std::atomic<long> mode{trace_record};
std::mutex mutex;
std::vector<std::wstring> lines;      // guarded by mutex
std::wstring file;                    // guarded by mutex
std::map<std::wstring, long> counted; // guarded by mutex: each counted line and its count
std::atomic<bool> counting{false};
std::atomic<long> counted_count{0};

HANDLE open_for_append(const std::wstring& path) noexcept
{
    return ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A failed write is not the component's fault, so it is not reported to it.
void append_to_file(const std::wstring& path, const std::string& text) noexcept
{
    HANDLE handle = open_for_append(path);
    if (handle == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(handle);
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

void set_trace_file(std::wstring path)
{
    if (!path.empty()) {
        HANDLE handle = open_for_append(path);
        if (handle == INVALID_HANDLE_VALUE)
            com::throw_with_new_info(HRESULT_FROM_WIN32(::GetLastError()), L"KSimHost",
                                     L"Cannot open the trace file '" + path + L"'.");
        ::CloseHandle(handle);
    }
    std::lock_guard guard(mutex);
    file = std::move(path);
}

void record_trace(std::wstring line)
{
    std::lock_guard guard(mutex);
    const bool echo = trace_mode() == trace_echo;
    if (echo || !file.empty()) {
        const std::string text = to_utf8(line) + "\n";
        if (echo) {
            std::fwrite(text.data(), 1, text.size(), stderr);
            std::fflush(stderr);
        }
        if (!file.empty()) append_to_file(file, text);
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
}

void set_counted_trace_line(std::wstring line)
{
    std::lock_guard guard(mutex);
    if (line.empty())
        counted.clear();
    else
        counted[std::move(line)] = 0;
    counting.store(!counted.empty());
    counted_count.store(0);
}

long counted_trace_lines() noexcept { return counted_count.load(); }

long counted_trace_lines(const std::wstring& line) noexcept
{
    std::lock_guard guard(mutex);
    const auto found = counted.find(line);
    return found == counted.end() ? 0 : found->second;
}

bool trace_counting() noexcept { return counting.load(std::memory_order_relaxed); }

void count_trace(const std::wstring& line) noexcept
{
    if (!trace_counting()) return;
    std::lock_guard guard(mutex);
    const auto found = counted.find(line);
    if (found == counted.end()) return;
    ++found->second;
    ++counted_count;
}

void reset_trace() noexcept
{
    std::lock_guard guard(mutex);
    lines.clear();
    file.clear();
    counted.clear();
    counting.store(false);
    counted_count.store(0);
    mode.store(trace_record);
}

} // namespace simhost
