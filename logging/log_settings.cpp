#include "log_settings.h"

#include "common/position.h"
#include "diagnostics/errors.h"
#include "diagnostics/setup.h"
#include "diagnostics/trace.h"

#include "com/bstr.h"
#include "com/error.h"
#include "com/safearray.h"

namespace logging {

namespace {

constexpr long ErrLogSettingExists = 63609;
constexpr long ErrLogFileEmpty = 63610;

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
                diagnostics::raise_error(ErrLogFileEmpty, class_label, {});
                return;
            }
            if (settings_->exists(name.view())) {
                diagnostics::raise_error(ErrLogSettingExists, class_label, {name.view()});
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

void CLogSettingsIterator::Initialize(settings_table settings)
{
    traced(class_label, L"Initialize", [&] {
        settings_ = std::move(settings);
        keys_ = settings_->keys();
        position_ = -1;
    });
}

HRESULT CLogSettingsIterator::HasNext(VARIANT_BOOL* result) noexcept
{
    if (!result) return E_POINTER;
    return com::boundary([&] {
        *result = traced(class_label, L"IKSQLogSettingsIterator_HasNext", [&] {
            return com::to_variant_bool(common::HasNext(position_, *settings_));
        });
    });
}

HRESULT CLogSettingsIterator::Next(IKSQLogSetting** setting) noexcept
{
    if (!setting) return E_POINTER;
    *setting = nullptr;
    return com::boundary([&] {
        auto next = traced(class_label, L"IKSQLogSettingsIterator_Next", [&] {
            VARIANT_BOOL more = VARIANT_FALSE;
            com::check(static_cast<IKSQLogSettingsIterator*>(this)->HasNext(&more));
            if (!more) return com::com_ptr<IKSQLogSetting>();
            position_ = common::next_position(position_, class_label);
            // Settings added after the snapshot are counted but have no key here.
            if (static_cast<std::size_t>(position_) >= keys_.size())
                diagnostics::raise_subscript_out_of_range(class_label);
            return settings_->item(keys_[static_cast<std::size_t>(position_)]);
        });
        *setting = next.detach();
    });
}

} // namespace logging
