#include "sim_host_control.h"

#include "call_gate.h"
#include "call_log.h"
#include "error_modes.h"
#include "item_rows.h"
#include "simulated.h"
#include "repository.h"
#include "service_call.h"
#include "settings.h"
#include "trace_log.h"

#include <com/bstr.h>
#include <com/error.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace simhost {

namespace {

[[noreturn]] void throw_invalid(std::wstring description)
{
    com::throw_with_new_info(E_INVALIDARG, L"KSimHost", description);
}

operation known_operation(BSTR name)
{
    const std::wstring_view text = com::bstr::view_of(name);
    const std::optional<operation> op = find_operation(text);
    if (!op) throw_invalid(L"'" + std::wstring(text) + L"' is not an operation of the simulated host.");
    return *op;
}

SAFEARRAY* text_array(const std::vector<std::wstring>& texts)
{
    SAFEARRAY* array = ::SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(texts.size()));
    if (!array) throw std::bad_alloc();
    for (LONG index = 0; index < static_cast<LONG>(texts.size()); ++index) {
        com::bstr text(texts[static_cast<std::size_t>(index)]);
        const HRESULT put = ::SafeArrayPutElement(array, &index, text.get()); // copies the text
        if (FAILED(put)) {
            ::SafeArrayDestroy(array);
            com::check(put);
        }
    }
    return array;
}

HostObject* as_result(const com::com_ptr<host_object>& object) noexcept
{
    HostObject* result = object->as_host_object();
    result->AddRef();
    return result;
}

} // namespace

HRESULT sim_host_control::Reset() noexcept
{
    return boundary([] {
        reset_trace();
        reset_call_log();
        reset_calls();
        reset_settings();
        reset_error_modes();
    });
}

HRESULT sim_host_control::get_TraceLines(SAFEARRAY** lines) noexcept
{
    return boundary([&] {
        require(lines);
        *lines = text_array(trace_lines());
    });
}

HRESULT sim_host_control::get_TraceText(BSTR* text) noexcept
{
    return boundary([&] {
        require(text);
        std::wstring joined;
        for (const std::wstring& line : trace_lines())
            joined += line + L"\n";
        *text = com::bstr(joined).detach();
    });
}

HRESULT sim_host_control::ClearTrace() noexcept
{
    return boundary([] { clear_trace(); });
}

HRESULT sim_host_control::get_TraceMode(LONG* mode) noexcept
{
    return boundary([&] {
        require(mode);
        *mode = trace_mode();
    });
}

HRESULT sim_host_control::put_TraceMode(LONG mode) noexcept
{
    return boundary([&] { set_trace_mode(mode); });
}

HRESULT sim_host_control::put_CountedTraceLine(BSTR line) noexcept
{
    return boundary([&] { set_counted_trace_line(std::wstring(com::bstr::view_of(line))); });
}

HRESULT sim_host_control::TraceLineCount(BSTR line, LONG* count) noexcept
{
    return boundary([&] {
        require(count);
        *count = counted_trace_lines(std::wstring(com::bstr::view_of(line)));
    });
}

HRESULT sim_host_control::put_KeepTraceRecords(VARIANT_BOOL keep) noexcept
{
    return boundary([&] { keep_trace_records(keep != VARIANT_FALSE); });
}

HRESULT sim_host_control::TakeTraceRecords(SAFEARRAY** records) noexcept
{
    return boundary([&] {
        require(records);
        SAFEARRAY* array = nullptr;
        take_trace_records([&](const std::vector<long>& taken) {
            array = ::SafeArrayCreateVector(VT_I4, 0, static_cast<ULONG>(taken.size()));
            if (array) std::copy(taken.begin(), taken.end(), static_cast<LONG*>(array->pvData));
        });
        if (!array) com::throw_without_info(E_OUTOFMEMORY);
        *records = array;
    });
}

HRESULT sim_host_control::TraceLabelId(BSTR label, LONG* id) noexcept
{
    return boundary([&] {
        require(id);
        *id = trace_label_id(com::bstr::view_of(label));
    });
}

HRESULT sim_host_control::get_Calls(SAFEARRAY** calls) noexcept
{
    return boundary([&] {
        require(calls);
        *calls = text_array(logged_calls());
    });
}

HRESULT sim_host_control::ClearCalls() noexcept
{
    return boundary([] { clear_logged_calls(); });
}

HRESULT sim_host_control::CallCount(BSTR operation_name, LONG* count) noexcept
{
    return boundary([&] {
        require(count);
        *count = call_count(known_operation(operation_name));
    });
}

HRESULT sim_host_control::InstanceCount(BSTR service, LONG thread_id, LONG* count) noexcept
{
    return boundary([&] {
        require(count);
        const std::wstring_view name = com::bstr::view_of(service);
        const std::optional<operation> creation = find_creation(name);
        if (!creation) throw_invalid(L"'" + std::wstring(name) + L"' is not a service of the simulated host.");
        *count = instance_count(*creation, static_cast<DWORD>(thread_id));
    });
}

HRESULT sim_host_control::get_LiveObjects(LONG* count) noexcept
{
    return boundary([&] {
        require(count);
        *count = live_objects.load();
    });
}

HRESULT sim_host_control::InjectFailure(BSTR operation_name, LONG nth, LONG hr, BSTR description) noexcept
{
    return boundary([&] {
        const operation op = known_operation(operation_name);
        if (nth < 1) throw_invalid(L"The failing call must be the first one from now (1) or a later one.");
        if (SUCCEEDED(hr)) throw_invalid(L"An injected failure needs a failure HRESULT.");
        inject_failure(op, nth, hr, std::wstring(com::bstr::view_of(description)));
    });
}

HRESULT sim_host_control::ClearFailures() noexcept
{
    return boundary([] { clear_failures(); });
}

HRESULT sim_host_control::put_EnvironmentText(BSTR text) noexcept
{
    return boundary([&] { set_environment_text(std::wstring(com::bstr::view_of(text))); });
}

HRESULT sim_host_control::SetCategory(LONG type_code, LONG category) noexcept
{
    return boundary([&] { set_category(type_code, category); });
}

HRESULT sim_host_control::ResetCategories() noexcept
{
    return boundary([] { reset_categories(); });
}

HRESULT sim_host_control::put_RaiseErrorSucceeds(VARIANT_BOOL value) noexcept
{
    return boundary([&] { set_raise_error_succeeds(value != VARIANT_FALSE); });
}

HRESULT sim_host_control::FindObject(BSTR id, HostObject** object) noexcept
{
    return boundary([&] {
        require(object);
        *object = nullptr;
        *object = as_result(find_object(com::bstr::view_of(id)));
    });
}

HRESULT sim_host_control::Relate(BSTR from_id, BSTR to_id) noexcept
{
    return boundary([&] { relate(com::bstr::view_of(from_id), com::bstr::view_of(to_id)); });
}

HRESULT sim_host_control::ClearObjects() noexcept
{
    return boundary([] { clear_objects(); });
}

HRESULT sim_host_control::AddItem(BSTR id, BSTR name, LONG type_code, LONG subtype_code, BSTR parent_path,
                                  HostObject** item) noexcept
{
    return boundary([&] {
        require(item);
        *item = nullptr;
        *item = as_result(add_item({com::bstr::view_of(id), com::bstr::view_of(name), type_code, subtype_code,
                                    com::bstr::view_of(parent_path)}));
    });
}

HRESULT sim_host_control::AddItems(SAFEARRAY* ids, SAFEARRAY* names, SAFEARRAY* type_codes, SAFEARRAY* subtype_codes,
                                   SAFEARRAY* parent_paths, LONG* added) noexcept
{
    return boundary([&] {
        require(added);
        *added = 0;
        const item_rows rows(ids, names, type_codes, subtype_codes, parent_paths);
        if (rows.size() > static_cast<std::size_t>(LONG_MAX)) throw_invalid(L"Too many rows for one call.");
        const added_items result = add_items(rows.size(), [&](std::size_t row) { return rows[row]; });
        *added = static_cast<LONG>(result.count);
        if (result.problem) throw_invalid(*result.problem);
    });
}

HRESULT sim_host_control::CreateSession(VARIANT_BOOL source_flag, HostSession** session) noexcept
{
    return boundary([&] {
        require(session);
        *session = nullptr;
        com::com_ptr<host_session> made = com::make<host_session>(source_flag != VARIANT_FALSE);
        keep_session(made);
        *session = made.detach();
    });
}

HRESULT sim_host_control::SetSourceFlag(HostSession* session, VARIANT_BOOL source_flag) noexcept
{
    return boundary([&] {
        if (!set_source_flag(session, source_flag != VARIANT_FALSE))
            throw_invalid(L"The session is not one of the simulated host's.");
    });
}

HRESULT sim_host_control::SetErrorInfoMode(BSTR target, LONG mode) noexcept
{
    return boundary([&] {
        const std::wstring_view name = com::bstr::view_of(target);
        const std::optional<error_target> found = find_error_target(name);
        if (!found)
            throw_invalid(L"'" + std::wstring(name) + L"' is neither a service of the simulated host nor HostObjects.");
        set_error_mode(*found, mode);
    });
}

HRESULT sim_host_control::AsInterface(IUnknown* object, BSTR iid, IDispatch** reference) noexcept
{
    return boundary([&] {
        require(reference);
        *reference = nullptr;
        require(object);
        IID wanted{};
        if (FAILED(::IIDFromString(iid ? iid : L"", &wanted)))
            throw_invalid(L"'" + std::wstring(com::bstr::view_of(iid)) + L"' is not an interface identifier.");
        void* found = nullptr;
        const HRESULT answered = object->QueryInterface(wanted, &found);
        if (FAILED(answered))
            com::throw_with_new_info(answered, L"KSimHost", L"The object does not answer that interface.");
        *reference = static_cast<IDispatch*>(found); // a dual interface starts with IDispatch's entries
    });
}

} // namespace simhost
