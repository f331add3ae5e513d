#pragma once
// EnvironmentService: answers the text a test set (see settings.h).

#include "operations.h"
#include "simulated.h"

#include <com/dual.h>

#include <K1PriTyp.h>

namespace simhost {

class environment_service final : public simulated<error_target::environment_service, com::dual<IEnvironmentService>> {
public:
    static constexpr operation creation = operation::environment_create;

    HRESULT STDMETHODCALLTYPE GetText(LONG* selector, BSTR* text) noexcept override;
};

} // namespace simhost
