#pragma once
// MessagingService: only records how the component configures it.

#include "live_objects.h"
#include "operations.h"
#include "reserved.h"

#include <com/dual.h>
#include <com/implements.h>

#include <K1PriTyp.h>

namespace simhost {

class messaging_service final : public com::implements<com::dual<IMessagingService>> {
public:
    static constexpr operation creation = operation::messaging_create;

    HRESULT STDMETHODCALLTYPE Configure(BSTR initialisation) noexcept override;
    SIMHOST_RESERVED(Reserved01)

private:
    live_object live_;
};

} // namespace simhost
