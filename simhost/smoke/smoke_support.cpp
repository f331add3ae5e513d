#include "smoke_support.h"

#include <cstdio>

namespace smoke {

namespace {

int checks = 0;
int failures = 0;

} // namespace

void expect(bool condition, const char* what)
{
    ++checks;
    if (condition) return;
    ++failures;
    std::printf("FAIL: %s\n", what);
    std::fflush(stdout);
}

int failed_checks() noexcept { return failures; }

int checks_made() noexcept { return checks; }

std::vector<std::wstring> texts(SAFEARRAY* array)
{
    std::vector<std::wstring> result;
    LONG lower = 0, upper = -1;
    ::SafeArrayGetLBound(array, 1, &lower);
    ::SafeArrayGetUBound(array, 1, &upper);
    for (LONG i = lower; i <= upper; ++i) {
        com::bstr text;
        ::SafeArrayGetElement(array, &i, text.put());
        result.push_back(text.str());
    }
    ::SafeArrayDestroy(array);
    return result;
}

std::vector<std::wstring> trace_lines(ISimHostControl& host)
{
    SAFEARRAY* lines = nullptr;
    host.get_TraceLines(&lines);
    return texts(lines);
}

std::vector<std::wstring> calls(ISimHostControl& host)
{
    SAFEARRAY* recorded = nullptr;
    host.get_Calls(&recorded);
    return texts(recorded);
}

long call_count(ISimHostControl& host, const wchar_t* operation)
{
    long count = -1;
    host.CallCount(com::bstr(operation).get(), &count);
    return count;
}

error_text current_error()
{
    error_text result;
    com::com_ptr<IErrorInfo> info;
    if (::GetErrorInfo(0, info.put()) != S_OK) return result;
    com::bstr source, description;
    info->GetSource(source.put());
    info->GetDescription(description.put());
    return {source.str(), description.str()};
}

std::vector<com::com_ptr<IDispatch>> drain(IEnumVARIANT& items)
{
    std::vector<com::com_ptr<IDispatch>> objects;
    VARIANT item;
    ULONG fetched = 0;
    while (items.Next(1, &item, &fetched) == S_OK && fetched == 1) {
        if (item.vt == VT_DISPATCH) objects.emplace_back(item.pdispVal);
        ::VariantClear(&item);
    }
    return objects;
}

com::com_ptr<IEnumVARIANT> new_enum(IDispatch& collection)
{
    com::com_ptr<IEnumVARIANT> items;
    VARIANT enumerator;
    ::VariantInit(&enumerator);
    DISPPARAMS none{};
    if (collection.Invoke(DISPID_NEWENUM, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET | DISPATCH_METHOD, &none,
                          &enumerator, nullptr, nullptr) == S_OK &&
        (enumerator.vt == VT_UNKNOWN || enumerator.vt == VT_DISPATCH) && enumerator.punkVal)
        enumerator.punkVal->QueryInterface(IID_IEnumVARIANT, items.put_void());
    ::VariantClear(&enumerator);
    return items;
}

} // namespace smoke
