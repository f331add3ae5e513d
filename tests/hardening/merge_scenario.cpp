#include "merge_scenario.h"

#include "com/bstr.h"

namespace hardening {

using namespace testing_support;

namespace {

std::size_t trace_size(ISimHostControl& host)
{
    SAFEARRAY* lines = nullptr;
    expect_ok(host.get_TraceLines(&lines), "TraceLines");
    LONG upper = -1;
    if (lines) ::SafeArrayGetUBound(lines, 1, &upper);
    ::SafeArrayDestroy(lines);
    return static_cast<std::size_t>(upper + 1);
}

template <class I> HRESULT make(com::com_ptr<I>& slot, REFCLSID clsid)
{
    return ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(I), slot.put_void());
}

// One property of a record as text.
template <class Record> std::wstring property_text(Record& record, HRESULT (STDMETHODCALLTYPE Record::*read)(BSTR*))
{
    com::bstr text;
    (record.*read)(text.put());
    return text.str();
}
template <class Record> std::wstring property_text(Record& record, HRESULT (STDMETHODCALLTYPE Record::*read)(LONG*))
{
    LONG value = 0;
    (record.*read)(&value);
    return std::to_wstring(value);
}

// Each record an iterator hands out, as its properties separated by spaces.
template <class Record, class Iterator, class... Reads>
std::vector<std::wstring> rows(const com::com_ptr<Iterator>& iterator, Reads... reads)
{
    std::vector<std::wstring> result;
    if (!iterator) return {L"no iterator"};
    for (;;) {
        com::com_ptr<Record> record;
        if (FAILED(iterator->Next(record.put()))) return {L"Next failed"};
        if (!record) return result;
        std::wstring row;
        ((row += property_text(*record, reads) + L" "), ...);
        row.pop_back();
        result.push_back(std::move(row));
    }
}

} // namespace

// The scenario's calls, one public member each.
struct scenario_calls {
    static com::com_ptr<IKSQMergeRules2> v2(merge_scenario& s) { return s.rules_.try_as<IKSQMergeRules2>(); }
    static HRESULT find(merge_scenario& s, std::size_t object, bool second_version, LONG& out)
    {
        HostObject* target = s.objects_.at(object).get();
        return second_version ? v2(s)->FindAction(target, &out) : s.rules_->FindAction(target, &out);
    }
    static HRESULT name(IKSQLogSetting* setting, const wchar_t* file)
    {
        return setting->put_LogFile(com::bstr(file).get());
    }
};

const std::vector<merge_scenario::step>& merge_scenario::steps()
{
    using c = scenario_calls;
    using s = merge_scenario;
    static const std::vector<step> all = {
        {L"CMergeRules", L"Class_Initialize", [](s& x, LONG&) { return make(x.rules_, CLSID_CMergeRules); }},
        {L"CMergeRules", L"IKSQMergeRules_SetCategoryRule",
         [](s& x, LONG&) { return x.rules_->SetCategoryRule(2, 7); }},
        // Duplicates: DescribeCategory, DescribeObjectType and RaiseError.
        {L"CMergeRules", L"IKSQMergeRules_SetCategoryRule",
         [](s& x, LONG&) { return x.rules_->SetCategoryRule(2, 8); }},
        {L"CMergeRules", L"IKSQMergeRules_SetTypeRule", [](s& x, LONG&) { return x.rules_->SetTypeRule(131, 3); }},
        {L"CMergeRules", L"IKSQMergeRules2_SetTypeRule", [](s& x, LONG&) { return c::v2(x)->SetTypeRule(120, 6); }},
        {L"CMergeRules", L"IKSQMergeRules2_SetTypeRule", [](s& x, LONG&) { return c::v2(x)->SetTypeRule(120, 9); }},
        {L"CMergeRules", L"IKSQMergeRules_SetObjectRule",
         [](s& x, LONG&) { return x.rules_->SetObjectRule(com::bstr(L"o1").get(), 120, 4); }},
        {L"CMergeRules", L"IKSQMergeRules2_SetObjectRule",
         [](s& x, LONG&) { return c::v2(x)->SetObjectRule(com::bstr(L"o2").get(), 999, 2); }},
        {L"CMergeRules", L"IKSQMergeRules_SetObjectRule",
         [](s& x, LONG&) { return x.rules_->SetObjectRule(com::bstr(L"o1").get(), 121, 5); }},
        {L"CMergeRules", L"IKSQMergeRules2_SetCategoryRule",
         [](s& x, LONG&) { return c::v2(x)->SetCategoryRule(5, 11); }},
        // FindAction: object rule, subtype rule (past an object rule of another
        // type), type rule, category rule, default of a listed and of another category.
        {L"CMergeRules", L"IKSQMergeRules_FindAction", [](s& x, LONG& out) { return c::find(x, 0, false, out); }},
        {L"CMergeRules", L"IKSQMergeRules2_FindAction", [](s& x, LONG& out) { return c::find(x, 1, true, out); }},
        {L"CMergeRules", L"IKSQMergeRules_FindAction", [](s& x, LONG& out) { return c::find(x, 2, false, out); }},
        {L"CMergeRules", L"IKSQMergeRules_FindAction", [](s& x, LONG& out) { return c::find(x, 3, false, out); }},
        {L"CMergeRules", L"IKSQMergeRules2_FindAction", [](s& x, LONG& out) { return c::find(x, 4, true, out); }},
        {L"CMergeRules", L"IKSQMergeRules_FindAction", [](s& x, LONG& out) { return c::find(x, 5, false, out); }},
        {L"CMergeRules", L"IKSQMergeRules2_SetFolderRule",
         [](s& x, LONG&) { return c::v2(x)->SetFolderRule(com::bstr(L"\\A\\Sub").get(), 12); }},
        {L"CMergeRules", L"IKSQMergeRules2_SetFolderRule",
         [](s& x, LONG&) { return c::v2(x)->SetFolderRule(com::bstr(L"\\B\\Sub").get(), 13); }},
        {L"CMergeRules", L"IKSQMergeRules2_SetFolderRule",
         [](s& x, LONG&) { return c::v2(x)->SetFolderRule(com::bstr(L"\\A\\Sub").get(), 14); }},
        {L"CMergeRules", L"IKSQMergeRules2_SetFolderRule",
         [](s& x, LONG&) { return c::v2(x)->SetFolderRule(com::bstr(L"\\Missing").get(), 15); }},
        {L"CMergeRules", L"ProcessFolderRule",
         [](s& x, LONG&) {
             HostSession* passed = x.session_.get();
             return x.rules_.try_as<_CMergeRules>()->ProcessFolderRule(&passed);
         }},
        // An item that a folder rule covered.
        {L"CMergeRules", L"IKSQMergeRules_FindAction", [](s& x, LONG& out) { return c::find(x, 6, false, out); }},
        {L"CLogSettings", L"Class_Initialize", [](s& x, LONG&) { return make(x.settings_, CLSID_CLogSettings); }},
        {L"CLogSetting", L"", [](s& x, LONG&) { return make(x.first_setting_, CLSID_CLogSetting); }},
        {L"CLogSetting", L"IKSQLogSetting_LogFile",
         [](s& x, LONG&) { return c::name(x.first_setting_.get(), L"a.log"); }},
        {L"CLogSetting", L"IKSQLogSetting_LogLevel", [](s& x, LONG&) { return x.first_setting_->put_LogLevel(3); }},
        {L"CLogSettings", L"IKSQLogSettings_Add", [](s& x, LONG&) { return x.settings_->Add(x.first_setting_.get()); }},
        {L"CLogSetting", L"", [](s& x, LONG&) { return make(x.same_name_, CLSID_CLogSetting); }},
        {L"CLogSetting", L"IKSQLogSetting_LogFile", [](s& x, LONG&) { return c::name(x.same_name_.get(), L"a.log"); }},
        {L"CLogSettings", L"IKSQLogSettings_Add", [](s& x, LONG&) { return x.settings_->Add(x.same_name_.get()); }},
        {L"CLogSetting", L"", [](s& x, LONG&) { return make(x.unnamed_, CLSID_CLogSetting); }},
        {L"CLogSettings", L"IKSQLogSettings_Add", [](s& x, LONG&) { return x.settings_->Add(x.unnamed_.get()); }},
        {L"CMergeOptions", L"Class_Initialize", [](s& x, LONG&) { return make(x.options_, CLSID_CMergeOptions); }},
        {L"CMergeOptions", L"IKSQMergeOptions5_CopyACLOption",
         [](s& x, LONG&) { return x.options_->put_CopyACLOption(2); }},
        // Out of range: DescribeAclOption and RaiseError.
        {L"CMergeOptions", L"IKSQMergeOptions5_CopyACLOption",
         [](s& x, LONG&) { return x.options_->put_CopyACLOption(3); }},
        {L"CMergeOptions", L"IKSQMergeOptions5_TVOnOffMergeOptions",
         [](s& x, LONG&) { return x.options_->put_TVOnOffMergeOptions(-6); }},
        {L"CMergeOptions", L"IKSQMergeOptions5_ResolutionMethod",
         [](s& x, LONG& out) { return x.options_->get_ResolutionMethod(&out); }},
    };
    return all;
}

std::size_t merge_scenario::process_step()
{
    const auto& all = steps();
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i].member_label == L"ProcessFolderRule") return i;
    return all.size();
}

merge_scenario::merge_scenario(ISimHostControl& host) : host_(host)
{
    // Objects for FindAction: o2 has an object rule for another type.
    const struct {
        const wchar_t* id;
        LONG type, subtype;
    } objects[] = {{L"o1", 120, 0}, {L"o2", 130, 131}, {L"o3", 120, 0},
                   {L"o4", 205, 0}, {L"o5", 310, 0},   {L"o6", 999, 0}};
    for (const auto& o : objects)
        objects_.push_back(top_level_object(host, o.id, o.type, o.subtype));
    // Two folders named Sub, so each search finds both; related to each other
    // and to a third, so the sort moves them between levels.
    add_items(host, {{L"F1", L"A", 8, 0, L""},
                     {L"F2", L"Sub", 8, 0, L"\\A"},
                     {L"i1", L"Q1", 120, 0, L"\\A\\Sub"},
                     {L"i2", L"Q2", 130, 0, L"\\A\\Sub"},
                     {L"F5", L"Deep", 8, 0, L"\\A\\Sub"},
                     {L"i4", L"Q4", 120, 0, L"\\A\\Sub\\Deep"},
                     {L"F3", L"B", 8, 0, L""},
                     {L"F4", L"Sub", 8, 0, L"\\B"},
                     {L"i3", L"Q3", 140, 0, L"\\B\\Sub"}});
    expect_ok(host.Relate(com::bstr(L"F2").get(), com::bstr(L"F4").get()), "Relate");
    expect_ok(host.Relate(com::bstr(L"F4").get(), com::bstr(L"i1").get()), "Relate");
    com::com_ptr<HostObject> covered;
    expect_ok(host.FindObject(com::bstr(L"i2").get(), covered.put()), "FindObject");
    objects_.push_back(covered);
    expect_ok(host.CreateSession(VARIANT_TRUE, session_.put()), "CreateSession");
}

merge_scenario::~merge_scenario() { release(); }

void merge_scenario::release()
{
    rules_.reset();
    settings_.reset();
    first_setting_.reset();
    same_name_.reset();
    unnamed_.reset();
    options_.reset();
}

std::vector<step_outcome> merge_scenario::run(std::size_t limit, const std::vector<step_outcome>* clean)
{
    std::vector<step_outcome> outcomes;
    const auto& all = steps();
    for (std::size_t i = 0; i < all.size() && i < limit; ++i) {
        step_outcome outcome;
        const std::size_t before = trace_size(host_);
        outcome.code = all[i].call(*this, outcome.value);
        outcome.error = failure_of(outcome.code);
        if (FAILED(outcome.code) || (clean && outcome.code != (*clean)[i].code)) {
            const std::vector<std::wstring> lines = trace_lines(host_);
            outcome.lines.assign(lines.begin() + static_cast<std::ptrdiff_t>(before), lines.end());
        }
        outcomes.push_back(std::move(outcome));
        if (clean && outcomes.back().code != (*clean)[i].code) break;
    }
    return outcomes;
}

stored_state merge_scenario::state()
{
    expect_ok(host_.ClearFailures());
    return read_state(rules_.get(), settings_.get(), options_.get());
}

stored_state read_state(IKSQMergeRules* rules, IKSQLogSettings* settings, IKSQMergeOptions5* options)
{
    stored_state result;
    const auto absent = std::vector<std::wstring>{L"absent"};
    if (!rules) {
        result.category_rules = result.type_rules = result.object_rules = result.folder_rules = absent;
    } else {
        auto rules2 = com::com_ptr<IKSQMergeRules>(rules).try_as<IKSQMergeRules2>();
        result.category_rules =
            rows<IKSQCategoryRule>(make_iterator(*rules, &IKSQMergeRules::CreateCategoryRuleIterator),
                                   &IKSQCategoryRule::get_CategoryType, &IKSQCategoryRule::get_Action);
        result.type_rules =
            rows<IKSQObjectTypeRule>(make_iterator(*rules, &IKSQMergeRules::CreateObjectTypeRuleIterator),
                                     &IKSQObjectTypeRule::get_ObjectType, &IKSQObjectTypeRule::get_Action);
        result.object_rules =
            rows<IKSQObjectRule>(make_iterator(*rules, &IKSQMergeRules::CreateObjectRuleIterator),
                                 &IKSQObjectRule::get_ObjectID, &IKSQObjectRule::get_Type, &IKSQObjectRule::get_Action);
        result.folder_rules = rows<IKSQFolderRule>(make_iterator(*rules2, &IKSQMergeRules2::CreateFolderRuleIterator),
                                                   &IKSQFolderRule::get_Path, &IKSQFolderRule::get_Action);
    }
    if (!settings) {
        result.log_files = absent;
    } else {
        result.log_files = rows<IKSQLogSetting>(make_iterator(*settings, &IKSQLogSettings::CreateIterator),
                                                &IKSQLogSetting::get_LogFile, &IKSQLogSetting::get_LogLevel);
    }
    if (!options) {
        result.options = absent;
    } else {
        LONG values[8] = {};
        options->get_CopyACLOption(&values[0]);
        options->get_ResolutionMethod(&values[1]);
        options->get_UserMergeOptions(&values[2]);
        options->get_MapSchemaObjectsSetting(&values[3]);
        options->get_UpdateSchemaOption(&values[4]);
        options->get_LockTakeOverOption(&values[5]);
        options->get_TVOnOffMergeOptions(&values[6]);
        com::com_ptr<IKSQMergeOptions5>(options).try_as<IKSQTransvaneOptions>()->get_CopyFolder(&values[7]);
        for (LONG value : values)
            result.options.push_back(std::to_wstring(value));
    }
    return result;
}

void PrintTo(const stored_state& state, std::ostream* out)
{
    const std::pair<const char*, const std::vector<std::wstring>*> tables[] = {
        {"categories", &state.category_rules}, {"types", &state.type_rules}, {"objects", &state.object_rules},
        {"folders", &state.folder_rules},      {"logs", &state.log_files},   {"options", &state.options}};
    for (const auto& [name, rows] : tables) {
        *out << name << ":";
        for (const std::wstring& row : *rows)
            *out << " [" << std::string(row.begin(), row.end()) << "]";
        *out << "; ";
    }
}

} // namespace hardening
