#pragma once
// MessagingService: only records how the component configures it.

#include "operations.h"
#include "reserved.h"
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

} // namespace simhost
