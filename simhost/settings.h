#pragma once
// What the services answer, as tests set it.

#include <string>

namespace simhost {

// What EnvironmentService.GetText returns; default "KSimHost messaging".
std::wstring environment_text();
void set_environment_text(std::wstring text);

// The category of an object type: an entry set by a test wins; otherwise the
// default table: types 100 to 399 belong to category type / 100 (1, 2 or 3), every
// other type to category 0.
long category_of_type(long type_code) noexcept;
void set_category(long type_code, long category);
void reset_categories() noexcept;

// Whether HostUtility.RaiseError succeeds instead of failing; default false.
bool raise_error_succeeds() noexcept;
void set_raise_error_succeeds(bool value) noexcept;

// Restores every setting to its default.
void reset_settings() noexcept;

} // namespace simhost
