#include "trace_service.h"

#include "call_gate.h"
#include "service_call.h"
#include "trace_log.h"
#include "variant_text.h"

#include <com/bstr.h>
#include <com/error.h>

namespace simhost {

HRESULT trace_service::Trace(LONG level, BSTR* format, SAFEARRAY** arguments) noexcept
{
    // Benchmarks trace with the lines discarded: unless a line is counted, that
    // path builds no text and skips the boundary.
    if (auto failure = count_call(operation::trace_trace)) return report(*failure, target);
    if (!format || !arguments) return E_POINTER;
    if (trace_discarded() && !trace_counting()) return S_OK;
    return guard([&] {
        // "level|format|argument|argument..."
        std::wstring line = number_text(level);
        line += L'|';
        line += com::bstr::view_of(*format);
        for (const std::wstring& argument : texts_of(*arguments)) {
            line += L'|';
            line += argument;
        }
        count_trace(line);
        if (!trace_discarded()) record_trace(std::move(line));
    });
}

HRESULT trace_service::BindComponent(BSTR component_name, LONG flags) noexcept
{
    return guard([&] {
        enter(operation::trace_bind_component, {com::bstr::view_of(component_name), number_text(flags)});
    });
}

HRESULT trace_service::Activate() noexcept
{
    return guard([&] { enter(operation::trace_activate, {}); });
}

} // namespace simhost
