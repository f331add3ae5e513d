#include "class_catalogue.h"

#include "logging/log_setting.h"
#include "logging/log_settings.h"
#include "options/merge_options.h"
#include "rules/merge_rules.h"
#include "rules/rule_iterators.h"
#include "rules/rule_records.h"

#include <K1MrgRls.h>

namespace server {

namespace {

// In type-library order.
const public_class classes[] = {
    {L"CMergeRules",
     &CLSID_CMergeRules,
     com::create_instance<rules::CMergeRules>,
     {&IID__CMergeRules, &IID_CMergeRules___v0}},
    {L"CMergeOptions",
     &CLSID_CMergeOptions,
     com::create_instance<options::CMergeOptions>,
     {&IID__CMergeOptions, nullptr}},
    {L"CLogSetting", &CLSID_CLogSetting, com::create_instance<logging::CLogSetting>, {&IID__CLogSetting, nullptr}},
    {L"CLogSettings", &CLSID_CLogSettings, com::create_instance<logging::CLogSettings>, {&IID__CLogSettings, nullptr}},
    {L"CLogSettingsIterator", &CLSID_CLogSettingsIterator, nullptr, {&IID__CLogSettingsIterator, nullptr}},
    {L"CCategoryRuleIterator", &CLSID_CCategoryRuleIterator, nullptr, {&IID__CCategoryRuleIterator, nullptr}},
    {L"CObjectRuleIterator", &CLSID_CObjectRuleIterator, nullptr, {&IID__CObjectRuleIterator, nullptr}},
    {L"CObjectTypeRuleIterator", &CLSID_CObjectTypeRuleIterator, nullptr, {&IID__CObjectTypeRuleIterator, nullptr}},
    {L"CFolderRule", &CLSID_CFolderRule, com::create_instance<rules::CFolderRule>, {&IID__CFolderRule, nullptr}},
    {L"CFolderRuleIterator",
     &CLSID_CFolderRuleIterator,
     com::create_instance<rules::CFolderRuleIterator>,
     {&IID__CFolderRuleIterator, nullptr}},
};

const project k1mrgrls = {
    L"K1MrgRls", L"Korvath Merge Rules Class 1.0", &LIBID_K1MrgRls, 1, 2, 0, classes,
};

} // namespace

const project& registration_table() noexcept { return k1mrgrls; }

} // namespace server
