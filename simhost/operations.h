#pragma once
// Every operation of the simulated host that is counted and can be made to fail,
// named "Service.Operation" as tests write them.

#include <cstddef>
#include <optional>
#include <string_view>

namespace simhost {

enum class operation : std::size_t {
    trace_create,
    trace_trace,
    trace_bind_component,
    trace_activate,
    messaging_create,
    messaging_configure,
    environment_create,
    environment_get_text,
    utility_create,
    utility_raise_error,
    utility_describe_category,
    utility_category_of_type,
    utility_describe_acl_option,
    utility_values_equal,
    utility_source_flag,
    type_name_create,
    type_name_describe_object_type,
    object_id,
    object_full_path,
    object_type_code,
    object_subtype_code,
    object_related_objects,
    collection_new_enum,
    enumerator_next,
    session_object_source,
    source_create_new_object,
    search_set_domain,
    search_set_name_pattern,
    search_type_filter,
    filter_add_type,
    search_execute,
    folder_folder_object,
    folder_new_enum,
    folder_enumerator_next,
    results_new_enum,
    results_enumerator_next,
};

inline constexpr std::size_t operation_count = static_cast<std::size_t>(operation::results_enumerator_next) + 1;

constexpr std::size_t index_of(operation op) noexcept { return static_cast<std::size_t>(op); }

// "Service.Operation".
std::wstring_view name_of(operation op) noexcept;

// The operation with that exact name, if there is one.
std::optional<operation> find_operation(std::wstring_view name) noexcept;

// The creation operation ("Service.Create") of a service named "Service".
std::optional<operation> find_creation(std::wstring_view service) noexcept;

} // namespace simhost
