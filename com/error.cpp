#include "error.h"

#include "bstr.h"

namespace com {

namespace {

com_ptr<IErrorInfo> take_error_info() noexcept
{
    com_ptr<IErrorInfo> info;
    if (::GetErrorInfo(0, info.put()) != S_OK) info.reset();
    return info;
}

} // namespace

void throw_error(HRESULT code) { throw com_error(code, take_error_info()); }

void throw_error(HRESULT code, IUnknown* callee, REFIID iid)
{
    // Taking the thread's error information also clears any stale one.
    com_ptr<IErrorInfo> info = take_error_info();
    com_ptr<ISupportErrorInfo> support;
    const bool supported = callee && SUCCEEDED(callee->QueryInterface(IID_ISupportErrorInfo, support.put_void())) &&
                           support->InterfaceSupportsErrorInfo(iid) == S_OK;
    if (!supported) info.reset();
    throw com_error(code, std::move(info));
}

void throw_error(HRESULT code, std::wstring_view source, std::wstring_view description)
{
    com_ptr<ICreateErrorInfo> create;
    com_ptr<IErrorInfo> info;
    if (SUCCEEDED(::CreateErrorInfo(create.put()))) {
        bstr source_text(source);
        bstr description_text(description);
        create->SetGUID(GUID_NULL);
        create->SetSource(source_text.get());
        create->SetDescription(description_text.get());
        info = create.try_as<IErrorInfo>();
    }
    throw com_error(code, std::move(info));
}

} // namespace com
