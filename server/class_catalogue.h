#pragma once
// The registration table: the project, its type library and its public classes.
// Registration and the class factory both read it.

#include "com/class_factory.h"

#include <array>
#include <span>
#include <string_view>

namespace server {

struct public_class {
    std::wstring_view name;
    const CLSID* clsid;
    com::class_factory::creator create;           // null for a class the host cannot create
    std::array<const IID*, 2> default_interfaces; // the second: an earlier default interface, or null
};

struct project {
    std::wstring_view name;
    std::wstring_view description;
    const GUID* library;
    unsigned short major_version;
    unsigned short minor_version;
    LCID locale;
    std::span<const public_class> classes;
};

const project& registration_table() noexcept;

} // namespace server
