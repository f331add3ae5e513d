#pragma once
// CLogSettings: log settings keyed by their log file name, in the order added,
// and CLogSettingsIterator, a forward walk over one collection.

#include <K1MrgRls.h>

#include "common/keyed_table.h"
#include "common/snapshot_iterator.h"

#include "com/com_ptr.h"
#include "com/dual.h"
#include "com/implements.h"

#include <string>
#include <string_view>

namespace logging {

using settings_table = common::shared_table<std::wstring, com::com_ptr<IKSQLogSetting>>;

class CLogSettings final : public com::implements<com::dual<_CLogSettings>, com::dual<IKSQLogSettings>> {
public:
    static constexpr std::wstring_view class_label = L"CLogSettings";

    CLogSettings();

    HRESULT STDMETHODCALLTYPE Add(IKSQLogSetting* setting) noexcept override;
    HRESULT STDMETHODCALLTYPE CreateIterator(IKSQLogSettingsIterator** iterator) noexcept override;

private:
    settings_table settings_;
};

struct log_settings_iteration {
    using default_interface = _CLogSettingsIterator;
    using iterator_interface = IKSQLogSettingsIterator;
    using record_interface = IKSQLogSetting;
    using key = std::wstring;
    static constexpr std::wstring_view class_label = L"CLogSettingsIterator";
    static constexpr std::wstring_view has_next_label = L"IKSQLogSettingsIterator_HasNext";
    static constexpr std::wstring_view next_label = L"IKSQLogSettingsIterator_Next";
};
using CLogSettingsIterator = common::snapshot_iterator<log_settings_iteration>;

} // namespace logging
