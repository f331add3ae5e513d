#include "tokenize.h"

#include "position.h"

#include "diagnostics/trace.h"

#include <windows.h>
#include <ole2.h>

namespace common {

namespace {

// Where the delimiter first occurs in the text, letter case ignored; npos when it does not.
std::size_t find_ignoring_case(std::wstring_view text, std::wstring_view delimiter) noexcept
{
    if (delimiter.empty() || delimiter.size() > text.size()) return std::wstring_view::npos;
    const int length = static_cast<int>(delimiter.size());
    for (std::size_t at = 0; at + delimiter.size() <= text.size(); ++at) {
        if (::CompareStringOrdinal(text.data() + at, length, delimiter.data(), length, TRUE) == CSTR_EQUAL) return at;
    }
    return std::wstring_view::npos;
}

std::vector<std::wstring> split(std::wstring_view text, std::wstring_view delimiter)
{
    std::vector<std::wstring> pieces;
    std::wstring_view rest = text;
    for (std::size_t at; (at = find_ignoring_case(rest, delimiter)) != std::wstring_view::npos;) {
        if (at > 0) pieces.emplace_back(rest.substr(0, at));
        rest.remove_prefix(at + delimiter.size());
    }
    pieces.emplace_back(rest);
    return pieces;
}

} // namespace

std::optional<std::vector<std::wstring>> Tokenize(std::wstring_view text, std::wstring_view delimiter)
{
    diagnostics::trace_enter(module_label, L"Tokenize");
    std::optional<std::vector<std::wstring>> pieces;
    try {
        pieces = split(text, delimiter);
    } catch (...) {
        pieces.reset();
        ::SetErrorInfo(0, nullptr);
    }
    diagnostics::trace_leave(module_label, L"Tokenize");
    return pieces;
}

} // namespace common
