#include "item_rows.h"

#include <com/bstr.h>
#include <com/error.h>

#include <string>

namespace simhost {

namespace {

[[noreturn]] void throw_invalid(std::wstring description)
{
    com::throw_with_new_info(E_INVALIDARG, L"KSimHost", description);
}

} // namespace

item_rows::held_array::~held_array()
{
    if (array_) ::SafeArrayUnaccessData(array_);
}

std::size_t item_rows::held_array::hold(SAFEARRAY* array, VARTYPE type, const wchar_t* name)
{
    const std::wstring what = std::wstring(L"The array of ") + name;
    if (!array) throw_invalid(what + L" is missing.");
    VARTYPE element = VT_EMPTY;
    LONG lower = 0, upper = -1;
    if (::SafeArrayGetDim(array) != 1 || FAILED(::SafeArrayGetVartype(array, &element)) ||
        FAILED(::SafeArrayGetLBound(array, 1, &lower)) || FAILED(::SafeArrayGetUBound(array, 1, &upper)))
        throw_invalid(what + L" must have one dimension.");
    if (element != type) throw_invalid(what + (type == VT_BSTR ? L" must hold texts." : L" must hold numbers."));
    if (lower != 0) throw_invalid(what + L" must start at index 0.");
    com::check(::SafeArrayAccessData(array, &data_));
    array_ = array;
    return static_cast<std::size_t>(upper + 1);
}

item_rows::item_rows(SAFEARRAY* ids, SAFEARRAY* names, SAFEARRAY* type_codes, SAFEARRAY* subtype_codes,
                     SAFEARRAY* parent_paths)
{
    size_ = ids_.hold(ids, VT_BSTR, L"IDs");
    if (names_.hold(names, VT_BSTR, L"names") != size_ || type_codes_.hold(type_codes, VT_I4, L"type codes") != size_ ||
        subtype_codes_.hold(subtype_codes, VT_I4, L"subtype codes") != size_ ||
        parent_paths_.hold(parent_paths, VT_BSTR, L"parent paths") != size_)
        throw_invalid(L"The arrays of AddItems must have the same length.");
}

item_rows::~item_rows() = default;

new_item item_rows::operator[](std::size_t row) const noexcept
{
    return {com::bstr::view_of(ids_.data<BSTR>()[row]), com::bstr::view_of(names_.data<BSTR>()[row]),
            type_codes_.data<LONG>()[row], subtype_codes_.data<LONG>()[row],
            com::bstr::view_of(parent_paths_.data<BSTR>()[row])};
}

} // namespace simhost
