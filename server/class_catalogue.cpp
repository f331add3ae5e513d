#include "class_catalogue.h"

#include "logging/log_setting.h"
#include "logging/log_settings.h"
#include "options/merge_options.h"

#include <K1MrgRls.h>

namespace server {

namespace {

// In type-library order.
const public_class classes[] = {
    {L"CMergeOptions", &CLSID_CMergeOptions, com::create_instance<options::CMergeOptions>,
     {&IID__CMergeOptions, nullptr}},
    {L"CLogSetting", &CLSID_CLogSetting, com::create_instance<logging::CLogSetting>,
     {&IID__CLogSetting, nullptr}},
    {L"CLogSettings", &CLSID_CLogSettings, com::create_instance<logging::CLogSettings>,
     {&IID__CLogSettings, nullptr}},
    {L"CLogSettingsIterator", &CLSID_CLogSettingsIterator, nullptr, {&IID__CLogSettingsIterator, nullptr}},
};

const project k1mrgrls = {
    L"K1MrgRls", L"Korvath Merge Rules Class 1.0", &LIBID_K1MrgRls, 1, 2, 0, classes,
};

} // namespace

const project& registration_table() noexcept { return k1mrgrls; }

} // namespace server
