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
#include <new>
#include <optional>
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

// com::boundary for an operation of `target`: without error information in mode
// 3, where a failure leaves the thread's error information alone.
template <class F> HRESULT boundary(error_target target, F&& work) noexcept
{
    if (sets_error_info(target)) return com::boundary(std::forward<F>(work));
    try {
        work();
        ::SetErrorInfo(0, nullptr);
        return S_OK;
    } catch (const com::com_error& e) {
        return e.code();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace simhost
