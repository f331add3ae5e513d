#pragma once
// TypeNameService: names object types.

#include "operations.h"
#include "reserved.h"
#include "simulated.h"

#include <com/dual.h>

#include <K1PriTyp.h>

namespace simhost {

class type_name_service final : public simulated<error_target::type_name_service, com::dual<ITypeNameService>> {
public:
    static constexpr operation creation = operation::type_name_create;

    // "Folder" for 8, "Search" for 39, "Object type <code>" for every other type.
    HRESULT STDMETHODCALLTYPE DescribeObjectType(LONG* type_code, BSTR* text) noexcept override;
    SIMHOST_RESERVED(Reserved01)
    SIMHOST_RESERVED(Reserved02)
    SIMHOST_RESERVED(Reserved03)
    SIMHOST_RESERVED(Reserved04)
};

} // namespace simhost
