#include "log_settings.h"

#include "diagnostics/errors.h"
#include "diagnostics/setup.h"
#include "diagnostics/trace.h"

#include "com/bstr.h"
#include "com/error.h"
#include "com/safearray.h"

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
    return com::boundary([&] {
        traced(class_label, L"IKSQLogSettings_Add", [&] {
            if (!setting) com::throw_error(E_POINTER, class_label, L"No log setting was given.");
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
    });
}

HRESULT CLogSettings::CreateIterator(IKSQLogSettingsIterator** iterator) noexcept
{
    if (!iterator) return E_POINTER;
    *iterator = nullptr;
    return com::boundary([&] {
        auto created = traced(class_label, L"IKSQLogSettings_CreateIterator", [&] {
            auto made = com::make<CLogSettingsIterator>();
            made->Initialize(settings_);
            return made;
        });
        *iterator = com::as_interface<IKSQLogSettingsIterator>(created).detach();
    });
}

} // namespace logging
