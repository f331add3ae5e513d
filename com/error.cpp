#include "error.h"

#include "bstr.h"

#include <cstdio>
#include <new>
#include <string>

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

void throw_without_info(HRESULT code) { throw com_error(code, nullptr); }

void throw_with_new_info(HRESULT code, std::wstring_view source, std::wstring_view description)
{
    throw com_error(code, make_error_info(source, description));
}

void throw_with_thread_info(HRESULT code) { throw com_error(code, take_error_info()); }

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

void throw_with_callee_info(HRESULT code, IUnknown* callee, REFIID iid)
{
    throw com_error(code, callee_error_info(callee, {iid}));
}

void throw_with_callee_or_new_info(HRESULT code, IUnknown* callee, REFIID iid, std::wstring_view source,
                                   std::wstring_view description)
{
    com_ptr<IErrorInfo> info = callee_error_info(callee, {iid});
    if (!info) info = make_error_info(source, description);
    throw com_error(code, std::move(info));
}

namespace {

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

failure current_failure() noexcept
{
    try {
        throw;
    } catch (const com_error& e) {
        return {e.code(), com_ptr<IErrorInfo>(e.info()), {}};
    } catch (const std::bad_alloc&) {
        return {E_OUTOFMEMORY, {}, {}};
    } catch (const std::exception& e) {
        failure result{E_FAIL, {}, {}};
        try {
            result.description = widen(e.what());
        } catch (...) {
        }
        return result;
    } catch (...) {
        return {E_UNEXPECTED, {}, {}};
    }
}

namespace detail {

HRESULT report_current_failure(std::wstring_view source) noexcept
{
    failure caught = current_failure();
    try {
        if (!caught.info) {
            if (caught.description.empty()) caught.description = message_text(caught.code);
            caught.info = make_error_info(source, caught.description);
        }
    } catch (...) {
    }
    ::SetErrorInfo(0, caught.info.get());
    return caught.code;
}

} // namespace detail

} // namespace com
