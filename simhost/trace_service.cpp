#include "trace_service.h"

#include "call_gate.h"
#include "service_call.h"
#include "trace_log.h"
#include "variant_text.h"

#include <com/bstr.h>
#include <com/error.h>
#include <host/trace_record.h>

namespace simhost {

namespace {

// Visits the texts of an array of VARIANTs that are all texts, in place, and
// answers true; answers false, visiting nothing, for any other array.
template <class Visit> bool visit_plain_texts(SAFEARRAY* arguments, Visit visit)
{
    VARTYPE type = VT_EMPTY;
    void* data = nullptr;
    if (::SafeArrayGetDim(arguments) != 1 || FAILED(::SafeArrayGetVartype(arguments, &type)) || type != VT_VARIANT ||
        FAILED(::SafeArrayAccessData(arguments, &data)))
        return false;
    const auto* items = static_cast<const VARIANT*>(data);
    const ULONG count = arguments->rgsabound[0].cElements;
    bool plain = true;
    for (ULONG i = 0; i < count && plain; ++i)
        plain = items[i].vt == VT_BSTR;
    if (plain) {
        for (ULONG i = 0; i < count; ++i)
            visit(com::bstr::view_of(items[i].bstrVal));
    }
    ::SafeArrayUnaccessData(arguments);
    return plain;
}

// The first two arguments as the compact record wants them: a VARIANT array's
// texts are read in place; anything else goes through their texts.
void add_record(LONG level, BSTR format, SAFEARRAY* arguments)
{
    std::wstring_view labels[2];
    std::size_t seen = 0;
    if (visit_plain_texts(arguments, [&](std::wstring_view text) {
            if (seen < 2) labels[seen] = text;
            ++seen;
        })) {
        add_trace_record(level, com::bstr::view_of(format), labels[0], labels[1]);
        return;
    }
    const std::vector<std::wstring> texts = texts_of(arguments);
    add_trace_record(level, com::bstr::view_of(format), texts.size() > 0 ? texts[0] : std::wstring_view(),
                     texts.size() > 1 ? texts[1] : std::wstring_view());
}

// "level|format|argument|argument...".
std::wstring line_of(LONG level, BSTR format, SAFEARRAY* arguments)
{
    std::wstring line;
    line.reserve(64); // one allocation for the usual line
    line += number_text(level);
    line += host_trace::separator;
    line += com::bstr::view_of(format);
    const auto add = [&](std::wstring_view argument) {
        line += host_trace::separator;
        line += argument;
    };
    if (!visit_plain_texts(arguments, add)) {
        for (const std::wstring& argument : texts_of(arguments))
            add(argument);
    }
    return line;
}

} // namespace

HRESULT trace_service::Trace(LONG level, BSTR* format, SAFEARRAY** arguments) noexcept
{
    // Benchmarks trace with the lines discarded: unless a line is counted or
    // compact records are kept, that path builds no text and skips the boundary.
    if (auto failure = count_call(operation::trace_trace)) return report(*failure, target);
    if (!format || !arguments) return E_POINTER;
    const bool line_wanted = !trace_discarded() || trace_counting();
    if (!line_wanted && !trace_records_kept()) return S_OK;
    return guard([&] {
        if (trace_records_kept()) add_record(level, *format, *arguments);
        if (!line_wanted) return;
        std::wstring line = line_of(level, *format, *arguments);
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
