#pragma once
// The services with one operation each: MessagingService only records how the
// component configures it, EnvironmentService answers the text a test set (see
// settings.h), TypeNameService names object types.

#include "operations.h"
#include "simulated.h"

#include <com/dual.h>

#include <K1PriTyp.h>

namespace simhost {

class messaging_service final : public simulated<error_target::messaging_service, com::dual<IMessagingService>> {
public:
    static constexpr operation creation = operation::messaging_create;

    HRESULT STDMETHODCALLTYPE Configure(BSTR initialisation) noexcept override;
    SIMHOST_RESERVED(Reserved01)
};

class environment_service final : public simulated<error_target::environment_service, com::dual<IEnvironmentService>> {
public:
    static constexpr operation creation = operation::environment_create;

    HRESULT STDMETHODCALLTYPE GetText(LONG* selector, BSTR* text) noexcept override;
};

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
