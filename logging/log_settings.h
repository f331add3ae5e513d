#pragma once
// CLogSettings: log settings keyed by their log file name, in the order added,
// and CLogSettingsIterator, a forward walk over one collection.

#include <K1MrgRls.h>

#include "common/keyed_table.h"

#include "com/com_ptr.h"
#include "com/dual.h"
#include "com/implements.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

class CLogSettingsIterator final
    : public com::implements<com::dual<_CLogSettingsIterator>, com::dual<IKSQLogSettingsIterator>> {
public:
    static constexpr std::wstring_view class_label = L"CLogSettingsIterator";

    // Takes the collection's live table and a snapshot of its keys.
    void Initialize(settings_table settings);

    HRESULT STDMETHODCALLTYPE HasNext(VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE Next(IKSQLogSetting** setting) noexcept override;

private:
    settings_table settings_;
    std::vector<std::wstring> keys_;
    std::int32_t position_ = -1;
};

} // namespace logging
