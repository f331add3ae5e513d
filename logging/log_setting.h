#pragma once
// CLogSetting: one log file name and log level, stored as given.

#include <K1MrgRls.h>

#include "com/dual.h"
#include "com/implements.h"

#include <string>
#include <string_view>

namespace logging {

class CLogSetting final : public com::implements<com::dual<_CLogSetting>, com::dual<IKSQLogSetting>> {
public:
    static constexpr std::wstring_view class_label = L"CLogSetting";

    HRESULT STDMETHODCALLTYPE get_LogLevel(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_LogLevel(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_LogFile(BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_LogFile(BSTR value) noexcept override;

private:
    std::wstring log_file_;
    LONG log_level_ = 0;
};

} // namespace logging
