#include "log_setting.h"

#include "diagnostics/trace.h"

#include "com/bstr.h"
#include "com/error.h"

namespace logging {

using diagnostics::traced;

HRESULT CLogSetting::get_LogLevel(LONG* value) noexcept
{
    if (!value) return E_POINTER;
    return com::boundary([&] { *value = traced(class_label, L"IKSQLogSetting_LogLevel", [&] { return log_level_; }); });
}

HRESULT CLogSetting::put_LogLevel(LONG value) noexcept
{
    return com::boundary([&] { traced(class_label, L"IKSQLogSetting_LogLevel", [&] { log_level_ = value; }); });
}

HRESULT CLogSetting::get_LogFile(BSTR* value) noexcept
{
    if (!value) return E_POINTER;
    *value = nullptr;
    return com::boundary([&] {
        *value = traced(class_label, L"IKSQLogSetting_LogFile", [&] { return com::bstr(log_file_); }).detach();
    });
}

HRESULT CLogSetting::put_LogFile(BSTR value) noexcept
{
    return com::boundary([&] {
        traced(class_label, L"IKSQLogSetting_LogFile", [&] { log_file_ = com::bstr::view_of(value); });
    });
}

} // namespace logging
