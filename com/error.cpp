#include "error.h"

#include "bstr.h"

#include <cstdio>

namespace com {

com_ptr<IErrorInfo> take_error_info() noexcept
{
    com_ptr<IErrorInfo> info;
    if (::GetErrorInfo(0, info.put()) != S_OK) info.reset();
    return info;
}

void clear_error_info() noexcept { ::SetErrorInfo(0, nullptr); }

com_ptr<IErrorInfo> make_error_info(std::wstring_view source, std::wstring_view description) noexcept
{
    try {
        com_ptr<ICreateErrorInfo> create;
        if (FAILED(::CreateErrorInfo(create.put()))) return {};
        bstr source_text(source);
        bstr description_text(description);
        create->SetGUID(GUID_NULL);
        create->SetSource(source_text.get());
        create->SetDescription(description_text.get());
        return create.try_as<IErrorInfo>();
    } catch (...) {
        return {};
    }
}

std::wstring message_text(HRESULT code)
{
    wchar_t* buffer = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::wstring text;
    if (length != 0 && buffer) text.assign(buffer, length);
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    if (text.empty()) {
        wchar_t hex[32];
        std::swprintf(hex, 32, L"Error 0x%08lX", static_cast<unsigned long>(code));
        text = hex;
    }
    return text;
}

void throw_failure(HRESULT code) { throw com_error(code, nullptr); }

void throw_error(HRESULT code) { throw com_error(code, take_error_info()); }

com_ptr<IErrorInfo> callee_error_info(IUnknown* callee, std::initializer_list<IID> iids) noexcept
{
    com_ptr<IErrorInfo> info = take_error_info();
    if (!info || !callee) return info;
    // Hosts differ: only a callee that answers S_FALSE is taken at its word.
    com_ptr<ISupportErrorInfo> support;
    if (FAILED(callee->QueryInterface(IID_ISupportErrorInfo, support.put_void())) || !support) return info;
    for (const IID& iid : iids) {
        if (support->InterfaceSupportsErrorInfo(iid) != S_FALSE) return info;
    }
    return {};
}

void throw_error(HRESULT code, IUnknown* callee, REFIID iid)
{
    throw com_error(code, callee_error_info(callee, {iid}));
}

void throw_error(HRESULT code, IUnknown* callee, REFIID iid, std::wstring_view source, std::wstring_view description)
{
    com_ptr<IErrorInfo> info = callee_error_info(callee, {iid});
    if (!info) info = make_error_info(source, description);
    throw com_error(code, std::move(info));
}

void throw_error(HRESULT code, std::wstring_view source, std::wstring_view description)
{
    throw com_error(code, make_error_info(source, description));
}

namespace detail {

namespace {

HRESULT report_with(HRESULT code, com_ptr<IErrorInfo> info, std::wstring_view source, std::wstring_view description)
{
    if (!info) info = make_error_info(source, description);
    ::SetErrorInfo(0, info.get());
    return code;
}

std::wstring widen(const char* text)
{
    const std::string_view narrow = text ? text : "";
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, narrow.data(), static_cast<int>(narrow.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, narrow.data(), static_cast<int>(narrow.size()), wide.data(), length);
    return wide;
}

} // namespace

HRESULT report(const com_error& error, std::wstring_view source) noexcept
{
    try {
        com_ptr<IErrorInfo> info(error.info());
        const std::wstring description = info ? std::wstring() : message_text(error.code());
        return report_with(error.code(), std::move(info), source, description);
    } catch (...) {
        ::SetErrorInfo(0, error.info());
        return error.code();
    }
}

HRESULT report(const std::exception& error, std::wstring_view source) noexcept
{
    const bool out_of_memory = dynamic_cast<const std::bad_alloc*>(&error) != nullptr;
    const HRESULT code = out_of_memory ? E_OUTOFMEMORY : E_FAIL;
    try {
        return report_with(code, {}, source, out_of_memory ? message_text(code) : widen(error.what()));
    } catch (...) {
        ::SetErrorInfo(0, nullptr);
        return code;
    }
}

HRESULT report_unknown(std::wstring_view source) noexcept
{
    try {
        return report_with(E_UNEXPECTED, {}, source, message_text(E_UNEXPECTED));
    } catch (...) {
        ::SetErrorInfo(0, nullptr);
        return E_UNEXPECTED;
    }
}

} // namespace detail

} // namespace com
