#pragma once
// EnvironmentService: answers the text a test set (see settings.h).

#include "live_objects.h"
#include "operations.h"

#include <com/dual.h>
#include <com/implements.h>

#include <K1PriTyp.h>

namespace simhost {

class environment_service final : public com::implements<com::dual<IEnvironmentService>> {
public:
    static constexpr operation creation = operation::environment_create;

    HRESULT STDMETHODCALLTYPE GetText(LONG* selector, BSTR* text) noexcept override;

private:
    live_object live_;
};

} // namespace simhost
