#include "trace.h"

#include "setup.h"
#include "thread_services.h"

#include "com/bstr.h"
#include "com/error.h"
#include "com/safearray.h"
#include "host/trace_record.h"

namespace diagnostics {

namespace {

// The thread's trace service. A thread where no set-up class was created first
// (a CLogSetting, say) is set up on its first line; if that set-up fails, the
// thread's lines are dropped until its services are released.
ITraceService* thread_trace_service() noexcept
{
    thread_services& slots = this_thread_services();
    if (!slots.trace && !slots.lazy_setup_tried) {
        slots.lazy_setup_tried = true;
        ensure_thread_setup();
    }
    return slots.trace;
}

void trace_line(std::wstring_view format, std::wstring_view class_label, std::wstring_view member_label)
{
    ITraceService* service = thread_trace_service();
    if (!service) return;
    // The record is built fresh for every line: the service receives the format
    // and the labels by reference and may keep or replace nothing of ours.
    com::bstr format_text(format);
    com::safe_array arguments{class_label, member_label};
    const HRESULT traced = service->Trace(host_trace::level, format_text.ref(), arguments.ref());
    if (SUCCEEDED(traced)) return;
    com::throw_with_callee_or_new_info(traced, service, __uuidof(ITraceService), class_label,
                                       com::message_text(traced));
}

} // namespace

void trace_enter(std::wstring_view class_label, std::wstring_view member_label)
{
    trace_line(host_trace::enter_format, class_label, member_label);
}

void trace_leave(std::wstring_view class_label, std::wstring_view member_label)
{
    trace_line(host_trace::leave_format, class_label, member_label);
}

} // namespace diagnostics
