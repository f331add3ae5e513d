#include "settings.h"

#include <atomic>
#include <map>
#include <mutex>

namespace simhost {

namespace {

constexpr wchar_t default_environment_text[] = L"KSimHost messaging";

std::mutex mutex;
std::wstring environment = default_environment_text; // guarded by mutex
std::map<long, long> categories;                     // guarded by mutex
std::atomic<bool> raise_succeeds{false};

long default_category(long type_code) noexcept { return type_code >= 100 && type_code <= 399 ? type_code / 100 : 0; }

} // namespace

std::wstring environment_text()
{
    std::lock_guard guard(mutex);
    return environment;
}

void set_environment_text(std::wstring text)
{
    std::lock_guard guard(mutex);
    environment = std::move(text);
}

long category_of_type(long type_code) noexcept
{
    std::lock_guard guard(mutex);
    const auto entry = categories.find(type_code);
    return entry != categories.end() ? entry->second : default_category(type_code);
}

void set_category(long type_code, long category)
{
    std::lock_guard guard(mutex);
    categories[type_code] = category;
}

void reset_categories() noexcept
{
    std::lock_guard guard(mutex);
    categories.clear();
}

bool raise_error_succeeds() noexcept { return raise_succeeds.load(); }
void set_raise_error_succeeds(bool value) noexcept { raise_succeeds.store(value); }

void reset_settings() noexcept
{
    std::lock_guard guard(mutex);
    environment = default_environment_text;
    categories.clear();
    raise_succeeds.store(false);
}

} // namespace simhost
