#pragma once
// How each service, and the objects of the metadata model as one group, report
// their failures, as a test chose with SimHostControl.SetErrorInfoMode:
//   0  answers ISupportErrorInfo with S_OK and sets error information (default)
//   1  does not answer ISupportErrorInfo, still sets error information
//   2  answers ISupportErrorInfo with S_FALSE, still sets error information
//   3  answers ISupportErrorInfo with S_OK and sets none: a failure leaves the
//      thread's error information as it was

#include <com/error.h>

#include <windows.h>

#include <cstddef>
#include <optional>
#include <type_traits>
#include <utility>
#include <string_view>

namespace simhost {

enum class error_target : std::size_t {
    trace_service,
    messaging_service,
    environment_service,
    host_utility,
    type_name_service,
    host_objects, // items, folders, sessions, sources, searches, filters, collections, enumerators
};

inline constexpr std::size_t error_target_count = static_cast<std::size_t>(error_target::host_objects) + 1;

// "TraceService", ..., "HostObjects".
std::optional<error_target> find_error_target(std::wstring_view name) noexcept;

// Throws com_error (E_INVALIDARG) for a mode other than 0 to 3.
void set_error_mode(error_target target, long mode);
void reset_error_modes() noexcept;

bool answers_support_error_info(error_target target) noexcept;
bool denies_error_info(error_target target) noexcept;
bool sets_error_info(error_target target) noexcept;

// The failure being handled (com::current_failure) as its HRESULT; with its
// error information set on the thread when `set_info`, else the thread's left
// as it was.
HRESULT pass_on_current_failure(bool set_info) noexcept;

// The boundary of the simulated host, which sets its callers' error information
// itself and wants nothing made for it (unlike com::boundary): a failure passes
// on exactly the information it carries (none at all unless `set_info`), a
// success clears the thread's.
template <class F> HRESULT pass_through(bool set_info, F&& work) noexcept
{
    static_assert(std::is_void_v<std::invoke_result_t<F>>, "a boundary's work hands its results out itself");
    try {
        work();
        com::clear_error_info();
        return S_OK;
    } catch (...) {
        return pass_on_current_failure(set_info);
    }
}

template <class F> HRESULT boundary(F&& work) noexcept { return pass_through(true, std::forward<F>(work)); }

// The boundary for an operation of `target`: in mode 3 a failure leaves the
// thread's error information alone.
template <class F> HRESULT boundary(error_target target, F&& work) noexcept
{
    return pass_through(sets_error_info(target), std::forward<F>(work));
}

} // namespace simhost
