#include "text_encoding.h"

#include <windows.h>

#include <limits>
#include <stdexcept>

namespace planner {

namespace {

int length_of(std::size_t size)
{
    if (size > static_cast<std::size_t>(std::numeric_limits<int>::max())) throw std::length_error("text too long");
    return static_cast<int>(size);
}

} // namespace

std::wstring widen(std::string_view text)
{
    if (text.empty()) return {};
    const int size = length_of(text.size());
    const int wide = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(wide), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, result.data(), wide);
    return result;
}

std::string narrow(std::wstring_view text)
{
    if (text.empty()) return {};
    const int size = length_of(text.size());
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, result.data(), bytes, nullptr, nullptr);
    return result;
}

} // namespace planner
