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
