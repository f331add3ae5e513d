#include "error_modes.h"

#include <array>
#include <atomic>

namespace simhost {

namespace {

constexpr long default_mode = 0;
constexpr long without_support_error_info = 1;
constexpr long denying_error_info = 2;
constexpr long without_error_info = 3;

// In the order of `error_target`.
constexpr std::array<std::wstring_view, error_target_count> names = {
    L"TraceService", L"MessagingService", L"EnvironmentService", L"HostUtility", L"TypeNameService", L"HostObjects",
};

std::array<std::atomic<long>, error_target_count> modes{};

long mode_of(error_target target) noexcept
{
    return modes[static_cast<std::size_t>(target)].load(std::memory_order_relaxed);
}

} // namespace

std::optional<error_target> find_error_target(std::wstring_view name) noexcept
{
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) return static_cast<error_target>(i);
    }
    return std::nullopt;
}

void set_error_mode(error_target target, long mode)
{
    if (mode < default_mode || mode > without_error_info)
        com::throw_with_new_info(E_INVALIDARG, L"KSimHost", L"The error information mode must be 0, 1, 2 or 3.");
    modes[static_cast<std::size_t>(target)].store(mode);
}

void reset_error_modes() noexcept
{
    for (auto& mode : modes)
        mode.store(default_mode);
}

bool answers_support_error_info(error_target target) noexcept { return mode_of(target) != without_support_error_info; }

bool denies_error_info(error_target target) noexcept { return mode_of(target) == denying_error_info; }

bool sets_error_info(error_target target) noexcept { return mode_of(target) != without_error_info; }

HRESULT pass_on_current_failure(bool set_info) noexcept
{
    const com::failure caught = com::current_failure();
    if (set_info) ::SetErrorInfo(0, caught.info.get());
    return caught.code;
}

} // namespace simhost
