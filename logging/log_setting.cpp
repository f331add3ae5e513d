#include "log_setting.h"

#include "diagnostics/traced_property.h"

namespace logging {

using diagnostics::get_traced;
using diagnostics::put_traced;

HRESULT CLogSetting::get_LogLevel(LONG* value) noexcept
{
    return get_traced(class_label, L"IKSQLogSetting_LogLevel", log_level_, value);
}

HRESULT CLogSetting::put_LogLevel(LONG value) noexcept
{
    return put_traced(class_label, L"IKSQLogSetting_LogLevel", log_level_, value);
}

HRESULT CLogSetting::get_LogFile(BSTR* value) noexcept
{
    return get_traced(class_label, L"IKSQLogSetting_LogFile", log_file_, value);
}

HRESULT CLogSetting::put_LogFile(BSTR value) noexcept
{
    return put_traced(class_label, L"IKSQLogSetting_LogFile", log_file_, value);
}

} // namespace logging
