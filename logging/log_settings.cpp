#include "log_settings.h"

#include "common/iterator_factory.h"
#include "diagnostics/errors.h"
#include "diagnostics/setup.h"
#include "diagnostics/member.h"
#include "diagnostics/trace.h"

#include "com/bstr.h"
#include "com/error.h"
#include "com/variant.h"

namespace logging {

namespace {

using diagnostics::traced;

} // namespace

CLogSettings::CLogSettings()
{
    diagnostics::ensure_thread_setup();
    settings_ = common::make_table<std::wstring, com::com_ptr<IKSQLogSetting>>();
    traced(class_label, L"Class_Initialize", [] {});
}

HRESULT CLogSettings::Add(IKSQLogSetting* setting) noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQLogSettings_Add", [&] {
        if (!setting) com::throw_with_new_info(E_POINTER, class_label, L"No log setting was given.");
        com::bstr name;
        com::check(setting->get_LogFile(name.put()), setting);
        if (name.view().empty()) {
            diagnostics::raise_error(diagnostics::ErrLogFileEmpty, class_label, {});
            return;
        }
        if (settings_->exists(name.view())) {
            diagnostics::raise_error(diagnostics::ErrLogSettingExists, class_label, {name.view()});
            return;
        }
        settings_->add(name.str(), com::com_ptr<IKSQLogSetting>(setting));
    });
}

HRESULT CLogSettings::CreateIterator(IKSQLogSettingsIterator** iterator) noexcept
{
    return diagnostics::traced_member(class_label, L"IKSQLogSettings_CreateIterator", iterator, [&] {
        return common::make_iterator<IKSQLogSettingsIterator, CLogSettingsIterator>(settings_);
    });
}

} // namespace logging
