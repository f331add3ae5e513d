#pragma once
// TraceService: records the component's trace lines (see trace_log.h).

#include "operations.h"
#include "simulated.h"

#include <com/dual.h>

#include <K1PriTyp.h>

namespace simhost {

class trace_service final : public simulated<error_target::trace_service, com::dual<ITraceService>> {
public:
    static constexpr operation creation = operation::trace_create;

    HRESULT STDMETHODCALLTYPE Trace(LONG level, BSTR* format, SAFEARRAY** arguments) noexcept override;
    HRESULT STDMETHODCALLTYPE BindComponent(BSTR component_name, LONG flags) noexcept override;
    HRESULT STDMETHODCALLTYPE Activate() noexcept override;
    SIMHOST_RESERVED(Reserved01)
    SIMHOST_RESERVED(Reserved04)
    SIMHOST_RESERVED(Reserved05)
    SIMHOST_RESERVED(Reserved06)
    SIMHOST_RESERVED(Reserved07)
    SIMHOST_RESERVED(Reserved08)
};

} // namespace simhost
