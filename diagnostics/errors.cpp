#include "errors.h"

#include "thread_services.h"

#include "com/bstr.h"
#include "com/error.h"
#include "com/safearray.h"

namespace diagnostics {

void raise_error(long number, std::wstring_view source, std::initializer_list<std::wstring_view> inserts)
{
    IHostUtility& utility = host_utility();
    LONG code = number;
    com::bstr source_text(source);
    com::variant_array arguments(inserts);
    com::check(utility.RaiseError(&code, source_text.ref(), arguments.ref()), &utility);
}

void raise_overflow(std::wstring_view class_name) { com::throw_error(error_hresult(6), class_name, L"Overflow"); }

void raise_subscript_out_of_range(std::wstring_view class_name)
{
    com::throw_error(error_hresult(9), class_name, L"Subscript out of range");
}

} // namespace diagnostics
