#include "errors.h"

#include "thread_services.h"

#include "com/bstr.h"
#include "com/error.h"
#include "com/safearray.h"

#include <string>

namespace diagnostics {

namespace {

// "Error 63602 (R1)": what a caller learns when the utility described nothing.
std::wstring describe(long number, std::initializer_list<std::wstring_view> inserts)
{
    std::wstring text = L"Error " + std::to_wstring(number);
    if (inserts.size() == 0) return text;
    text += L" (";
    bool first = true;
    for (std::wstring_view insert : inserts) {
        if (!first) text += L", ";
        text += insert;
        first = false;
    }
    return text + L")";
}

} // namespace

void raise_error(long number, std::wstring_view source, std::initializer_list<std::wstring_view> inserts)
{
    IHostUtility& utility = host_utility();
    LONG code = number;
    com::bstr source_text(source);
    com::safe_array arguments(inserts);
    const HRESULT raised = utility.RaiseError(&code, source_text.ref(), arguments.ref());
    if (SUCCEEDED(raised)) return;
    com::throw_with_callee_or_new_info(raised, &utility, __uuidof(IHostUtility), source, describe(number, inserts));
}

void raise_overflow(std::wstring_view class_name)
{
    com::throw_with_new_info(error_hresult(6), class_name, L"Overflow");
}

void raise_subscript_out_of_range(std::wstring_view class_name)
{
    com::throw_with_new_info(error_hresult(9), class_name, L"Subscript out of range");
}

} // namespace diagnostics
