#include "component.h"

#include "text_encoding.h"

#include "com/bstr.h"

#include <array>
#include <string_view>

namespace planner {

namespace {

template <class I> com::com_ptr<I> create(const wchar_t* prog_id)
{
    CLSID clsid{};
    com::com_ptr<I> object;
    HRESULT hr = ::CLSIDFromProgID(prog_id, &clsid);
    if (SUCCEEDED(hr)) hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(I), object.put_void());
    if (FAILED(hr))
        throw component_failure("the component cannot be loaded (" + narrow(prog_id) +
                                "): " + failure_of(hr).describe());
    return object;
}

template <class I> com::com_ptr<I> query(IUnknown& object, const char* what)
{
    com::com_ptr<I> result;
    const HRESULT hr = object.QueryInterface(__uuidof(I), result.put_void());
    if (FAILED(hr)) throw component_failure(std::string("the component does not answer ") + what);
    return result;
}

void check(HRESULT hr, std::string_view what)
{
    if (FAILED(hr))
        throw component_failure("the component failed in " + std::string(what) + ": " + failure_of(hr).describe());
}

void note(HRESULT hr, outcome& outcome, std::string_view kind, std::size_t index)
{
    if (SUCCEEDED(hr)) return;
    com_failure failure = failure_of(hr);
    outcome.refusals.push_back({kind, index, failure.number(), std::move(failure.source), std::move(failure.message)});
}

template <class Iterator> bool has_next(Iterator& iterator, const char* what)
{
    VARIANT_BOOL more = VARIANT_FALSE;
    check(iterator.HasNext(&more), what);
    return more != VARIANT_FALSE;
}

template <class Record> LONG read(Record& record, HRESULT (STDMETHODCALLTYPE Record::*get)(LONG*), const char* what)
{
    LONG value = 0;
    check((record.*get)(&value), what);
    return value;
}

// Each option through the interface version that owns it, in the order of merge_option.
struct option_access {
    merge_option option;
    const char* owner;
    HRESULT (*put)(IUnknown& options, const char* owner, LONG value);
    HRESULT (*get)(IUnknown& options, const char* owner, LONG* value);
};

template <class I, HRESULT (STDMETHODCALLTYPE I::*Put)(LONG), HRESULT (STDMETHODCALLTYPE I::*Get)(LONG*)>
constexpr option_access through(merge_option option, const char* owner)
{
    return {
        option, owner,
        [](IUnknown& options, const char* name, LONG value) { return (query<I>(options, name).get()->*Put)(value); },
        [](IUnknown& options, const char* name, LONG* value) { return (query<I>(options, name).get()->*Get)(value); }};
}

constexpr std::array<option_access, 8> option_accesses{{
    through<IKSQMergeOptions, &IKSQMergeOptions::put_CopyACLOption, &IKSQMergeOptions::get_CopyACLOption>(
        merge_option::CopyACLOption, "IKSQMergeOptions"),
    through<IKSQMergeOptions2, &IKSQMergeOptions2::put_ResolutionMethod, &IKSQMergeOptions2::get_ResolutionMethod>(
        merge_option::ResolutionMethod, "IKSQMergeOptions2"),
    through<IKSQMergeOptions2, &IKSQMergeOptions2::put_UserMergeOptions, &IKSQMergeOptions2::get_UserMergeOptions>(
        merge_option::UserMergeOptions, "IKSQMergeOptions2"),
    through<IKSQTransvaneOptions, &IKSQTransvaneOptions::put_CopyFolder, &IKSQTransvaneOptions::get_CopyFolder>(
        merge_option::CopyFolder, "IKSQTransvaneOptions"),
    through<IKSQMergeOptions3, &IKSQMergeOptions3::put_MapSchemaObjectsSetting,
            &IKSQMergeOptions3::get_MapSchemaObjectsSetting>(merge_option::MapSchemaObjectsSetting,
                                                             "IKSQMergeOptions3"),
    through<IKSQMergeOptions4, &IKSQMergeOptions4::put_UpdateSchemaOption, &IKSQMergeOptions4::get_UpdateSchemaOption>(
        merge_option::UpdateSchemaOption, "IKSQMergeOptions4"),
    through<IKSQMergeOptions4, &IKSQMergeOptions4::put_LockTakeOverOption, &IKSQMergeOptions4::get_LockTakeOverOption>(
        merge_option::LockTakeOverOption, "IKSQMergeOptions4"),
    through<IKSQMergeOptions5, &IKSQMergeOptions5::put_TVOnOffMergeOptions,
            &IKSQMergeOptions5::get_TVOnOffMergeOptions>(merge_option::TVOnOffMergeOptions, "IKSQMergeOptions5"),
}};

const option_access& access_of(merge_option option)
{
    const option_access& access = option_accesses[static_cast<std::size_t>(option)];
    if (access.option != option) throw component_failure("the option table is out of order");
    return access;
}

} // namespace

component::component()
    : rules_(create<IKSQMergeRules2>(L"K1MrgRls.CMergeRules")),
      folder_processing_(query<_CMergeRules>(*rules_, "_CMergeRules")),
      options_(create<IKSQMergeOptions5>(L"K1MrgRls.CMergeOptions")),
      log_settings_(create<IKSQLogSettings>(L"K1MrgRls.CLogSettings"))
{}

void component::set_rules(const plan& plan, outcome& outcome)
{
    for (std::size_t i = 0; i < plan.category_rules.size(); ++i) {
        const category_rule& rule = plan.category_rules[i];
        note(rules_->SetCategoryRule(rule.category, rule.action), outcome, "category", i);
    }
    for (std::size_t i = 0; i < plan.type_rules.size(); ++i) {
        const type_rule& rule = plan.type_rules[i];
        note(rules_->SetTypeRule(rule.type, rule.action), outcome, "type", i);
    }
    outcome.object_rule_accepted.assign(plan.object_rules.size(), false);
    for (std::size_t i = 0; i < plan.object_rules.size(); ++i) {
        const object_rule& rule = plan.object_rules[i];
        const HRESULT hr = rules_->SetObjectRule(com::bstr(widen(rule.id)).get(), rule.type, rule.action);
        outcome.object_rule_accepted[i] = SUCCEEDED(hr);
        note(hr, outcome, "object", i);
    }
    outcome.folder_rule_accepted.assign(plan.folder_rules.size(), false);
    for (std::size_t i = 0; i < plan.folder_rules.size(); ++i) {
        const folder_rule& rule = plan.folder_rules[i];
        const HRESULT hr = rules_->SetFolderRule(com::bstr(widen(rule.path)).get(), rule.action);
        outcome.folder_rule_accepted[i] = SUCCEEDED(hr);
        note(hr, outcome, "folder", i);
    }
}

void component::set_options(const plan& plan, outcome& outcome)
{
    for (std::size_t i = 0; i < plan.options.size(); ++i) {
        const option_access& access = access_of(plan.options[i].option);
        note(access.put(*options_, access.owner, plan.options[i].value), outcome, "option", i);
    }
}

void component::add_logs(const plan& plan, outcome& outcome)
{
    for (std::size_t i = 0; i < plan.logs.size(); ++i) {
        const log_setting& log = plan.logs[i];
        const auto setting = create<IKSQLogSetting>(L"K1MrgRls.CLogSetting");
        check(setting->put_LogFile(com::bstr(widen(log.file)).get()), "IKSQLogSetting.LogFile");
        check(setting->put_LogLevel(log.level), "IKSQLogSetting.LogLevel");
        note(log_settings_->Add(setting.get()), outcome, "log", i);
    }
}

std::optional<com_failure> component::process_folder_rules(HostSession& session)
{
    HostSession* argument = &session;
    argument->AddRef();
    const HRESULT hr = folder_processing_->ProcessFolderRule(&argument);
    std::optional<com_failure> failure;
    if (FAILED(hr)) failure = failure_of(hr);
    if (argument) argument->Release();
    return failure;
}

std::vector<held_object_rule> component::object_rules()
{
    com::com_ptr<IKSQObjectRuleIterator> iterator;
    check(rules_->CreateObjectRuleIterator(iterator.put()), "CreateObjectRuleIterator");
    std::vector<held_object_rule> rules;
    while (has_next(*iterator, "IKSQObjectRuleIterator.HasNext")) {
        com::com_ptr<IKSQObjectRule> rule;
        check(iterator->Next(rule.put()), "IKSQObjectRuleIterator.Next");
        if (!rule) break;
        com::bstr id;
        check(rule->get_ObjectID(id.put()), "IKSQObjectRule.ObjectID");
        rules.push_back({narrow(id.view()), read(*rule, &IKSQObjectRule::get_Type, "IKSQObjectRule.Type"),
                         read(*rule, &IKSQObjectRule::get_Action, "IKSQObjectRule.Action")});
    }
    return rules;
}

std::vector<type_rule> component::type_rules()
{
    com::com_ptr<IKSQObjectTypeRuleIterator> iterator;
    check(rules_->CreateObjectTypeRuleIterator(iterator.put()), "CreateObjectTypeRuleIterator");
    std::vector<type_rule> rules;
    while (has_next(*iterator, "IKSQObjectTypeRuleIterator.HasNext")) {
        com::com_ptr<IKSQObjectTypeRule> rule;
        check(iterator->Next(rule.put()), "IKSQObjectTypeRuleIterator.Next");
        if (!rule) break;
        rules.push_back({read(*rule, &IKSQObjectTypeRule::get_ObjectType, "IKSQObjectTypeRule.ObjectType"),
                         read(*rule, &IKSQObjectTypeRule::get_Action, "IKSQObjectTypeRule.Action")});
    }
    return rules;
}

std::vector<std::pair<merge_option, std::int32_t>> component::options()
{
    std::vector<std::pair<merge_option, std::int32_t>> values;
    for (const option_info& info : all_options()) {
        const option_access& access = access_of(info.option);
        LONG value = 0;
        check(access.get(*options_, access.owner, &value), info.name);
        values.emplace_back(info.option, value);
    }
    return values;
}

std::vector<log_setting> component::logs()
{
    com::com_ptr<IKSQLogSettingsIterator> iterator;
    check(log_settings_->CreateIterator(iterator.put()), "IKSQLogSettings.CreateIterator");
    std::vector<log_setting> logs;
    for (;;) {
        com::com_ptr<IKSQLogSetting> setting;
        check(iterator->Next(setting.put()), "IKSQLogSettingsIterator.Next");
        if (!setting) break;
        com::bstr file;
        check(setting->get_LogFile(file.put()), "IKSQLogSetting.LogFile");
        logs.push_back({narrow(file.view()), read(*setting, &IKSQLogSetting::get_LogLevel, "IKSQLogSetting.LogLevel")});
    }
    return logs;
}

} // namespace planner
