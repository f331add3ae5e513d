#pragma once
// The classes KSimHost.dll serves: the five host services, under the host's class
// identifiers, and the control object.

#include <com/class_factory.h>

#include <span>

namespace simhost {

struct creatable_class {
    const CLSID* clsid;
    const wchar_t* name; // the class key's default value
    const wchar_t* prog_id;
    com::class_factory::creator create;
};

std::span<const creatable_class> creatable_classes() noexcept;

} // namespace simhost
