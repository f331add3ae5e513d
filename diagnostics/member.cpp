#include "member.h"

namespace diagnostics {

void require_out(const void* out, std::wstring_view class_label)
{
    if (!out) com::throw_with_new_info(E_POINTER, class_label, L"No place for the result was given (a null pointer).");
}

} // namespace diagnostics
