#include "simulated_host.h"

#include "com_failure.h"
#include "text_encoding.h"

#include "com/bstr.h"
#include "com/safearray.h"

#include <algorithm>

namespace planner {

namespace {

constexpr std::size_t items_per_call = 8192;

// Visits each text of an array of texts, then destroys the array.
template <class Visit> void visit_texts(SAFEARRAY* array, Visit visit)
{
    if (!array) return;
    LONG lower = 0, upper = -1;
    ::SafeArrayGetLBound(array, 1, &lower);
    ::SafeArrayGetUBound(array, 1, &upper);
    void* data = nullptr;
    if (upper >= lower && SUCCEEDED(::SafeArrayAccessData(array, &data))) {
        const BSTR* items = static_cast<const BSTR*>(data);
        for (LONG i = 0; i <= upper - lower; ++i)
            visit(com::bstr::view_of(items[i]));
        ::SafeArrayUnaccessData(array);
    }
    ::SafeArrayDestroy(array);
}

std::vector<std::wstring> texts_of(SAFEARRAY* array)
{
    std::vector<std::wstring> texts;
    visit_texts(array, [&](std::wstring_view text) { texts.emplace_back(text); });
    return texts;
}

// Plain ASCII, the common case, goes straight into the BSTR: one allocation and
// no conversion pass per text, which counts for a million objects.
BSTR new_bstr(std::string_view text)
{
    if (std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
        return com::bstr(widen(text)).detach();
    BSTR made = ::SysAllocStringLen(nullptr, static_cast<UINT>(text.size()));
    if (!made) throw std::bad_alloc();
    for (std::size_t i = 0; i < text.size(); ++i)
        made[i] = static_cast<wchar_t>(text[i]);
    return made;
}

} // namespace

simulated_host::simulated_host()
{
    CLSID clsid{};
    HRESULT hr = ::CLSIDFromProgID(L"KSimHost.Control", &clsid);
    if (SUCCEEDED(hr))
        hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ISimHostControl, control_.put_void());
    if (FAILED(hr))
        throw host_failure("the simulated host cannot be loaded (KSimHost.Control): " + failure_of(hr).describe());
    check(control_->Reset(), "Reset");
    check(control_->ClearObjects(), "ClearObjects");
}

void simulated_host::check(HRESULT hr, const char* what)
{
    if (FAILED(hr))
        throw host_failure(std::string("the simulated host refused ") + what + ": " + failure_of(hr).describe());
}

void simulated_host::set_categories(const plan& plan)
{
    for (const auto& [type, category] : plan.categories)
        check(control_->SetCategory(type, category), "SetCategory");
}

void simulated_host::add_items(const plan& plan, const item_progress& progress)
{
    const std::size_t total = plan.objects.size();
    for (std::size_t start = 0; start < total; start += items_per_call) {
        const std::size_t count = std::min(items_per_call, total - start);
        com::safe_array ids(VT_BSTR, count), names(VT_BSTR, count), paths(VT_BSTR, count);
        com::safe_array types(VT_I4, count), subtypes(VT_I4, count);
        for (std::size_t i = 0; i < count; ++i) {
            const plan_object& object = plan.objects[start + i];
            ids.data<BSTR>()[i] = new_bstr(object.id);
            names.data<BSTR>()[i] = new_bstr(object.name);
            paths.data<BSTR>()[i] = new_bstr(plan.folder_of(object));
            types.data<LONG>()[i] = object.type;
            subtypes.data<LONG>()[i] = object.subtype;
        }
        LONG added = 0;
        check(control_->AddItems(ids.get(), names.get(), types.get(), subtypes.get(), paths.get(), &added), "AddItems");
        if (progress) progress(start + count, total);
    }
}

void simulated_host::relate(const plan& plan)
{
    for (const plan_object& object : plan.objects) {
        if (object.related == 0) continue;
        const com::bstr from = com::bstr::attach(new_bstr(object.id));
        for (std::uint32_t to : plan.related_of(object))
            check(control_->Relate(from.get(), com::bstr::attach(new_bstr(plan.objects[to].id)).get()), "Relate");
    }
}

com::com_ptr<HostSession> simulated_host::create_session()
{
    com::com_ptr<HostSession> session;
    check(control_->CreateSession(VARIANT_FALSE, session.put()), "CreateSession");
    return session;
}

com::com_ptr<HostObject> simulated_host::find_object(std::string_view id)
{
    com::com_ptr<HostObject> object;
    check(control_->FindObject(com::bstr::attach(new_bstr(id)).get(), object.put()), "FindObject");
    return object;
}

void simulated_host::keep_trace(bool keep) { check(control_->put_TraceMode(keep ? 0 : 1), "TraceMode"); }

std::vector<std::wstring> simulated_host::take_trace()
{
    SAFEARRAY* lines = nullptr;
    check(control_->get_TraceLines(&lines), "TraceLines");
    std::vector<std::wstring> result = texts_of(lines);
    check(control_->ClearTrace(), "ClearTrace");
    return result;
}

void simulated_host::take_trace(const std::function<void(std::wstring_view)>& visit)
{
    SAFEARRAY* lines = nullptr;
    check(control_->get_TraceLines(&lines), "TraceLines");
    check(control_->ClearTrace(), "ClearTrace");
    visit_texts(lines, visit);
}

void simulated_host::count_trace(std::wstring_view record)
{
    check(control_->put_CountedTraceLine(com::bstr(std::wstring(record)).get()), "CountedTraceLine");
}

long simulated_host::counted_trace(std::wstring_view record)
{
    LONG count = 0;
    check(control_->TraceLineCount(com::bstr(std::wstring(record)).get(), &count), "TraceLineCount");
    return count;
}

void simulated_host::keep_trace_records(bool keep)
{
    check(control_->put_KeepTraceRecords(keep ? VARIANT_TRUE : VARIANT_FALSE), "KeepTraceRecords");
}

void simulated_host::take_trace_records(std::vector<long>& records)
{
    SAFEARRAY* array = nullptr;
    check(control_->TakeTraceRecords(&array), "TakeTraceRecords");
    records.clear();
    if (!array) return;
    void* data = nullptr;
    if (SUCCEEDED(::SafeArrayAccessData(array, &data))) {
        const auto* numbers = static_cast<const LONG*>(data);
        records.assign(numbers, numbers + array->rgsabound[0].cElements);
        ::SafeArrayUnaccessData(array);
    }
    ::SafeArrayDestroy(array);
}

long simulated_host::trace_label_id(std::wstring_view label)
{
    LONG id = 0;
    check(control_->TraceLabelId(com::bstr(std::wstring(label)).get(), &id), "TraceLabelId");
    return id;
}

std::vector<std::wstring> simulated_host::take_calls()
{
    SAFEARRAY* calls = nullptr;
    check(control_->get_Calls(&calls), "Calls");
    std::vector<std::wstring> result = texts_of(calls);
    check(control_->ClearCalls(), "ClearCalls");
    return result;
}

void simulated_host::clear_calls() { check(control_->ClearCalls(), "ClearCalls"); }

long simulated_host::call_count(const wchar_t* operation) { return call_count(com::bstr(operation)); }

long simulated_host::call_count(const com::bstr& operation)
{
    long count = 0;
    check(control_->CallCount(operation.get(), &count), "CallCount");
    return count;
}

std::int32_t simulated_host::category_of_type(std::int32_t type)
{
    if (const auto known = categories_.find(type); known != categories_.end()) return known->second;
    if (!utility_) {
        const HRESULT hr =
            ::CoCreateInstance(CLSID_HostUtility, nullptr, CLSCTX_INPROC_SERVER, IID_IHostUtility, utility_.put_void());
        check(hr, "HostUtility");
    }
    LONG code = type;
    LONG category = 0;
    check(utility_->CategoryOfType(&code, &category), "CategoryOfType");
    categories_.emplace(type, category);
    return category;
}

} // namespace planner
