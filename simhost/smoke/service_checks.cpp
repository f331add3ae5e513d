// Smoke checks of the five services.

#include "smoke_support.h"

#include <K1PriTyp.h>

#include <com/safearray.h>

#include <string>
#include <thread>

namespace smoke {

namespace {

HRESULT trace(ITraceService& service, long level, const wchar_t* format, com::safe_array arguments)
{
    com::bstr text(format);
    BSTR format_text = text.get();
    return service.Trace(level, &format_text, arguments.ref());
}

} // namespace

void check_tracing(ISimHostControl& host)
{
    auto service = create<ITraceService>(CLSID_TraceService);
    expect(bool(service), "TraceService is created by its CLSID");
    if (!service) return;
    expect(trace(*service, 32, L"[%1][%2] Function Enter", com::safe_array{L"CClass", L"Member"}) == S_OK,
           "Trace succeeds");
    expect(trace_lines(host) == std::vector<std::wstring>{L"32|[%1][%2] Function Enter|CClass|Member"},
           "Trace records level|format|arguments");
    expect(calls(host) == std::vector<std::wstring>{L"TraceService.Create()"}, "creation is logged, Trace is not");
    long count = 0;
    host.InstanceCount(com::bstr(L"TraceService").get(), static_cast<long>(::GetCurrentThreadId()), &count);
    expect(count == 1, "the instance counts for this thread");
    DWORD other_thread = 0;
    std::thread([&] { other_thread = ::GetCurrentThreadId(); }).join();
    host.InstanceCount(com::bstr(L"TraceService").get(), static_cast<long>(other_thread), &count);
    expect(count == 0, "and not for another thread");

    expect(service->Trace(1, nullptr, nullptr) == E_POINTER, "Trace rejects missing arguments");

    const HRESULT injected = static_cast<HRESULT>(0x80041234);
    host.InjectFailure(com::bstr(L"TraceService.Trace").get(), 2, injected, com::bstr(L"injected").get());
    expect(trace(*service, 1, L"a", com::safe_array{}) == S_OK, "the call before the injected one works");
    expect(trace(*service, 1, L"b", com::safe_array{}) == injected, "the injected call fails");
    const error_text error = current_error();
    expect(error.source == L"KSimHost" && error.description == L"injected", "with the injected error info");
    expect(trace(*service, 1, L"c", com::safe_array{}) == S_OK, "an injection fires once");
    host.CallCount(com::bstr(L"TraceService.Trace").get(), &count);
    expect(count == 5, "CallCount counts failed calls too");
}

namespace {

std::vector<long> take_records(ISimHostControl& host)
{
    SAFEARRAY* array = nullptr;
    if (FAILED(host.TakeTraceRecords(&array)) || !array) return {};
    std::vector<long> records;
    for (LONG i = 0; i < static_cast<LONG>(array->rgsabound[0].cElements); ++i) {
        LONG number = 0;
        ::SafeArrayGetElement(array, &i, &number);
        records.push_back(number);
    }
    ::SafeArrayDestroy(array);
    return records;
}

long label_id(ISimHostControl& host, const wchar_t* label)
{
    LONG id = -1;
    host.TraceLabelId(com::bstr(label).get(), &id);
    return id;
}

} // namespace

// Compact records: kept in every mode, the formats told apart, labels as ids.
void check_trace_records(ISimHostControl& host)
{
    auto service = create<ITraceService>(CLSID_TraceService);
    if (!service) return;
    expect(trace(*service, 32, L"[%1][%2] Function Enter", com::safe_array{L"CClass", L"Member"}) == S_OK &&
               take_records(host).empty(),
           "no compact records are kept unless asked for");
    host.put_KeepTraceRecords(VARIANT_TRUE);
    host.put_TraceMode(1);
    const long class_id = label_id(host, L"CClass");
    const long member_id = label_id(host, L"Member");
    expect(class_id > 0 && member_id > 0 && class_id != member_id && label_id(host, L"CClass") == class_id,
           "each label keeps one id");
    trace(*service, 32, L"[%1][%2] Function Enter", com::safe_array{L"CClass", L"Member"});
    trace(*service, 32, L"[%1][%2] Function Leave", com::safe_array{L"CClass", L"Member"});
    trace(*service, 8, L"%1 only", com::safe_array{L"Member"});
    trace(*service, 8, L"none", com::safe_array{});
    expect(take_records(host) == std::vector<long>{32, 1, class_id, member_id, 32, 2, class_id, member_id, 8, 0,
                                                   member_id, 0, 8, 0, 0, 0},
           "each Trace call leaves level, format kind and label ids, while the lines are discarded");
    expect(trace_lines(host).size() == 1 && take_records(host).empty(),
           "taking the records forgets them; the lines discarded stay discarded");
    host.put_TraceMode(0);
    trace(*service, 32, L"[%1][%2] Function Enter", com::safe_array{L"CClass", L"Other"});
    host.ClearTrace();
    expect(take_records(host).empty(), "ClearTrace forgets the records too");
    host.Reset();
    trace(*service, 32, L"[%1][%2] Function Enter", com::safe_array{L"CClass", L"Member"});
    expect(take_records(host).empty() && label_id(host, L"Member") == 1, "Reset stops the records and the ids");
}

void check_counted_trace_line(ISimHostControl& host)
{
    auto service = create<ITraceService>(CLSID_TraceService);
    if (!service) return;
    const com::bstr counted(L"2|[%1] x|A");
    long count = -1;
    expect(host.put_CountedTraceLine(counted.get()) == S_OK, "CountedTraceLine accepts a line");
    trace(*service, 2, L"[%1] x", com::safe_array{L"A"});
    trace(*service, 2, L"[%1] x", com::safe_array{L"AB"});
    host.put_TraceMode(1);
    trace(*service, 2, L"[%1] x", com::safe_array{L"A"});
    expect(host.TraceLineCount(counted.get(), &count) == S_OK && count == 2,
           "equal lines are counted, discarded ones too");
    expect(trace_lines(host).size() == 2, "counting keeps no discarded line");
    host.put_CountedTraceLine(counted.get());
    host.TraceLineCount(counted.get(), &count);
    expect(count == 0, "setting the counted line starts from 0");
    host.put_CountedTraceLine(com::bstr(L"").get());
    trace(*service, 2, L"[%1] x", com::safe_array{L"A"});
    host.TraceLineCount(counted.get(), &count);
    expect(count == 0, "an empty counted line counts nothing");
    host.put_CountedTraceLine(counted.get());
    host.Reset();
    trace(*service, 2, L"[%1] x", com::safe_array{L"A"});
    host.TraceLineCount(counted.get(), &count);
    expect(count == 0, "Reset stops counting");
    expect(host.TraceLineCount(counted.get(), nullptr) == E_POINTER, "TraceLineCount checks its out-pointer");
    host.Reset();
}

void check_raise_error(ISimHostControl& host)
{
    auto utility = create<IHostUtility>(CLSID_HostUtility);
    expect(bool(utility), "HostUtility is created by its CLSID");
    if (!utility) return;
    host.ClearCalls();
    long code = 63609;
    com::bstr source(L"CLogSettings");
    BSTR source_text = source.get();
    com::safe_array inserts{L"x.log"};
    expect(utility->RaiseError(&code, &source_text, inserts.ref()) == static_cast<HRESULT>(0x800AF879),
           "RaiseError fails with 0x800A0000 | code");
    const error_text error = current_error();
    expect(error.source == L"CLogSettings", "RaiseError's error source is the given source");
    expect(error.description == L"A log setting already exists for log file 'x.log'.",
           "RaiseError's description is the message with its inserts");
    expect(calls(host) == std::vector<std::wstring>{L"HostUtility.RaiseError(63609,CLogSettings,[x.log])"},
           "RaiseError is logged with its arguments");

    long type = 250, category = -1;
    utility->CategoryOfType(&type, &category);
    expect(category == 2, "default category of type 250 is 2");
    host.SetCategory(250, 7);
    utility->CategoryOfType(&type, &category);
    expect(category == 7, "a category set by the test wins");
}

} // namespace smoke
