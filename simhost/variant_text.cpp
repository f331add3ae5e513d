#include "variant_text.h"

#include <com/bstr.h>
#include <com/safearray.h>

namespace simhost {

namespace {

constexpr std::wstring_view unknown_text = L"?";

std::wstring element_text(SAFEARRAY* array, VARTYPE type, LONG index)
{
    if (type == VT_VARIANT) {
        com::variant element;
        if (FAILED(::SafeArrayGetElement(array, &index, element.put()))) return std::wstring(unknown_text);
        return text_of(*element.get());
    }
    if (type == VT_BSTR) {
        com::bstr element;
        if (FAILED(::SafeArrayGetElement(array, &index, element.put()))) return std::wstring(unknown_text);
        return element.str();
    }
    return std::wstring(unknown_text);
}

} // namespace

std::wstring text_of(const VARIANT& value)
{
    if (value.vt == VT_BSTR) return std::wstring(com::bstr::view_of(value.bstrVal));
    com::variant text;
    // The invariant locale keeps numbers such as 1.5 the same on every machine.
    if (FAILED(::VariantChangeTypeEx(text.put(), const_cast<VARIANT*>(&value), LOCALE_INVARIANT, VARIANT_ALPHABOOL,
                                     VT_BSTR)))
        return std::wstring(unknown_text);
    return std::wstring(com::bstr::view_of(text.get()->bstrVal));
}

std::vector<std::wstring> texts_of(const SAFEARRAY* array)
{
    std::vector<std::wstring> texts;
    if (!array) return texts;
    auto* source = const_cast<SAFEARRAY*>(array);
    if (::SafeArrayGetDim(source) != 1) return {std::wstring(unknown_text)};
    VARTYPE type = VT_EMPTY;
    LONG lower = 0, upper = -1;
    if (FAILED(::SafeArrayGetVartype(source, &type)) || FAILED(::SafeArrayGetLBound(source, 1, &lower)) ||
        FAILED(::SafeArrayGetUBound(source, 1, &upper)))
        return {std::wstring(unknown_text)};
    for (LONG index = lower; index <= upper; ++index)
        texts.push_back(element_text(source, type, index));
    return texts;
}

std::wstring array_text(const SAFEARRAY* array)
{
    if (!array) return L"null";
    return L"[" + join(texts_of(array), L";") + L"]";
}

std::wstring join(const std::vector<std::wstring>& parts, std::wstring_view separator)
{
    std::wstring joined;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i != 0) joined += separator;
        joined += parts[i];
    }
    return joined;
}

std::string to_utf8(std::wstring_view text)
{
    if (text.empty()) return {};
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string utf8(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size, nullptr, nullptr);
    return utf8;
}

} // namespace simhost
