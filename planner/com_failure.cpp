#include "com_failure.h"

#include "text_encoding.h"

#include "com/bstr.h"
#include "com/com_ptr.h"

#include <cstdio>

namespace planner {

namespace {

bool is_numbered(HRESULT hr) noexcept { return (static_cast<unsigned long>(hr) & 0xFFFF0000UL) == 0x800A0000UL; }

std::string system_message(HRESULT hr)
{
    wchar_t* text = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text ? text : L"", length);
    if (text) ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return narrow(message);
}

} // namespace

long long com_failure::number() const noexcept
{
    const unsigned long bits = static_cast<unsigned long>(hr);
    return is_numbered(hr) ? static_cast<long long>(bits & 0xFFFF) : static_cast<long long>(bits);
}

std::string com_failure::describe() const
{
    char head[64];
    if (is_numbered(hr))
        std::snprintf(head, sizeof head, "error %lld", number());
    else
        std::snprintf(head, sizeof head, "failed 0x%08lX", static_cast<unsigned long>(hr));
    std::string text = head;
    if (!source.empty()) text += " from " + source;
    if (!message.empty()) text += ": " + message;
    return text;
}

com_failure failure_of(HRESULT hr)
{
    com_failure failure{hr, {}, {}};
    com::com_ptr<IErrorInfo> info;
    if (::GetErrorInfo(0, info.put()) == S_OK && info) {
        com::bstr source, description;
        if (SUCCEEDED(info->GetSource(source.put()))) failure.source = narrow(source.view());
        if (SUCCEEDED(info->GetDescription(description.put()))) failure.message = narrow(description.view());
    }
    if (failure.message.empty()) failure.message = system_message(hr);
    return failure;
}

} // namespace planner
