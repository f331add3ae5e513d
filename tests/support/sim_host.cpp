#include "sim_host.h"

#include "com_testing.h"

#include <gtest/gtest.h>

namespace testing_support {

namespace {

std::vector<std::wstring> texts_of(SAFEARRAY* array)
{
    std::vector<std::wstring> result;
    if (!array) return result;
    LONG lower = 0, upper = -1;
    ::SafeArrayGetLBound(array, 1, &lower);
    ::SafeArrayGetUBound(array, 1, &upper);
    for (LONG i = lower; i <= upper; ++i) {
        BSTR text = nullptr;
        ::SafeArrayGetElement(array, &i, &text);
        result.push_back(com::bstr::attach(text).str());
    }
    ::SafeArrayDestroy(array);
    return result;
}

std::vector<std::wstring> split(const std::wstring& text, wchar_t separator)
{
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::wstring::npos) return parts;
        start = end + 1;
    }
}

SAFEARRAY* text_array(const std::vector<item_row>& rows, std::wstring item_row::*field)
{
    SAFEARRAY* array = ::SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(rows.size()));
    for (LONG i = 0; i < static_cast<LONG>(rows.size()); ++i) {
        com::bstr text(rows[static_cast<std::size_t>(i)].*field);
        ::SafeArrayPutElement(array, &i, text.get()); // copies the text
    }
    return array;
}

SAFEARRAY* number_array(const std::vector<item_row>& rows, long item_row::*field)
{
    SAFEARRAY* array = ::SafeArrayCreateVector(VT_I4, 0, static_cast<ULONG>(rows.size()));
    for (LONG i = 0; i < static_cast<LONG>(rows.size()); ++i) {
        LONG number = rows[static_cast<std::size_t>(i)].*field;
        ::SafeArrayPutElement(array, &i, &number);
    }
    return array;
}

std::wstring id_of(IDispatch* object)
{
    com::com_ptr<HostObject> item;
    if (object) object->QueryInterface(__uuidof(HostObject), item.put_void());
    EXPECT_TRUE(item) << "an enumerated object is no HostObject";
    if (!item) return {};
    com::bstr id;
    expect_ok(item->get_ID(id.put()), "HostObject.ID");
    return id.str();
}

} // namespace

com::com_ptr<ISimHostControl> sim_host()
{
    com::com_ptr<ISimHostControl> host;
    expect_ok(
        ::CoCreateInstance(CLSID_SimHostControl, nullptr, CLSCTX_INPROC_SERVER, IID_ISimHostControl, host.put_void()));
    return host;
}

std::vector<std::wstring> trace_lines(ISimHostControl& host)
{
    SAFEARRAY* lines = nullptr;
    expect_ok(host.get_TraceLines(&lines));
    std::vector<std::wstring> result;
    for (const std::wstring& line : texts_of(lines)) {
        const std::vector<std::wstring> fields = split(line, L'|');
        if (fields.size() == 4 && fields[0] == L"32" && fields[1] == L"[%1][%2] Function Enter")
            result.push_back(L"Enter " + fields[2] + L" " + fields[3]);
        else if (fields.size() == 4 && fields[0] == L"32" && fields[1] == L"[%1][%2] Function Leave")
            result.push_back(L"Leave " + fields[2] + L" " + fields[3]);
        else
            result.push_back(line);
    }
    return result;
}

std::vector<std::wstring> calls(ISimHostControl& host, bool with_creation)
{
    SAFEARRAY* recorded = nullptr;
    expect_ok(host.get_Calls(&recorded));
    std::vector<std::wstring> result = texts_of(recorded);
    if (!with_creation) std::erase_if(result, [](const std::wstring& call) { return call.ends_with(L".Create()"); });
    return result;
}

long call_count(ISimHostControl& host, const wchar_t* operation)
{
    long count = -1;
    expect_ok(host.CallCount(com::bstr(operation).get(), &count));
    return count;
}

} // namespace testing_support

namespace testing_support {

com::com_ptr<HostObject> add_item(ISimHostControl& host, const std::wstring& id, const std::wstring& name,
                                  long type_code, const std::wstring& parent_path, long subtype_code)
{
    com::com_ptr<HostObject> item;
    expect_ok(host.AddItem(com::bstr(id).get(), com::bstr(name).get(), type_code, subtype_code,
                           com::bstr(parent_path).get(), item.put()),
              "AddItem");
    return item;
}

com::com_ptr<HostObject> top_level_object(ISimHostControl& host, const std::wstring& id, long type_code,
                                          long subtype_code)
{
    com::com_ptr<HostObject> object;
    if (SUCCEEDED(host.FindObject(com::bstr(id).get(), object.put()))) return object;
    ::SetErrorInfo(0, nullptr); // what the missing object left behind
    return add_item(host, id, id, type_code, L"", subtype_code);
}

long add_items(ISimHostControl& host, const std::vector<item_row>& rows, HRESULT* result)
{
    SAFEARRAY* arrays[] = {text_array(rows, &item_row::id), text_array(rows, &item_row::name),
                           number_array(rows, &item_row::type_code), number_array(rows, &item_row::subtype_code),
                           text_array(rows, &item_row::parent_path)};
    long added = 0;
    const HRESULT hr = host.AddItems(arrays[0], arrays[1], arrays[2], arrays[3], arrays[4], &added);
    for (SAFEARRAY* array : arrays)
        ::SafeArrayDestroy(array);
    if (result)
        *result = hr;
    else
        expect_ok(hr, "AddItems");
    return added;
}

com::com_ptr<HostSession> create_session(ISimHostControl& host, bool source_flag)
{
    com::com_ptr<HostSession> session;
    expect_ok(host.CreateSession(source_flag ? VARIANT_TRUE : VARIANT_FALSE, session.put()), "CreateSession");
    return session;
}

void set_error_info_mode(ISimHostControl& host, const wchar_t* target, long mode)
{
    expect_ok(host.SetErrorInfoMode(com::bstr(target).get(), mode), "SetErrorInfoMode");
}

std::vector<std::wstring> enumerated_ids(IDispatch& collection)
{
    std::vector<std::wstring> ids;
    DISPPARAMS none{};
    VARIANT enumerator;
    ::VariantInit(&enumerator);
    expect_ok(collection.Invoke(DISPID_NEWENUM, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET | DISPATCH_METHOD,
                                &none, &enumerator, nullptr, nullptr),
              "DISPID_NEWENUM");
    com::com_ptr<IEnumVARIANT> items;
    if (enumerator.vt == VT_UNKNOWN || enumerator.vt == VT_DISPATCH)
        enumerator.punkVal->QueryInterface(IID_IEnumVARIANT, items.put_void());
    ::VariantClear(&enumerator);
    EXPECT_TRUE(items) << "DISPID_NEWENUM gave no IEnumVARIANT";
    if (!items) return ids;
    VARIANT item;
    ULONG fetched = 0;
    while (items->Next(1, &item, &fetched) == S_OK && fetched == 1) {
        ids.push_back(item.vt == VT_DISPATCH ? id_of(item.pdispVal) : std::wstring(L"?"));
        ::VariantClear(&item);
    }
    return ids;
}

} // namespace testing_support
