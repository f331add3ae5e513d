// Bad input at every public member. Through the vtable: null out-pointers fail
// with E_POINTER and error information, null objects fail clearly, texts with NUL
// characters and texts of a million characters are stored and compared exactly.
// Through IDispatch: every member of every interface is called with too many and
// too few arguments, with the wrong kind of call, with arguments of every VARIANT
// type, and unknown members are asked for. Nothing crashes, and nothing that
// failed stores anything.
#include "merge_scenario.h"

#include "support/com_testing.h"
#include "support/sim_host.h"

#include <K1MrgRls.h>

#include "com/bstr.h"
#include "com/safearray.h"

#include <cstdio>
#include <functional>
#include <set>
#include <vector>

using namespace testing_support;

namespace {

int inputs_tried = 0;

class BadInputTest : public SimHostTest {
protected:
    void SetUp() override
    {
        SimHostTest::SetUp();
        expect_ok(host->put_TraceMode(1));
        rules = create<IKSQMergeRules>(CLSID_CMergeRules);
        rules2 = rules.try_as<IKSQMergeRules2>();
        options = create<IKSQMergeOptions5>(CLSID_CMergeOptions);
        settings = create<IKSQLogSettings>(CLSID_CLogSettings);
        setting = create<IKSQLogSetting>(CLSID_CLogSetting);
        folder_rule = create<IKSQFolderRule>(CLSID_CFolderRule);
    }

    std::vector<std::wstring> object_rules()
    {
        com::com_ptr<IKSQObjectRuleIterator> iterator;
        expect_ok(rules->CreateObjectRuleIterator(iterator.put()));
        return record_texts(*iterator, &IKSQObjectRule::get_ObjectID);
    }
    std::vector<std::wstring> folder_rules()
    {
        com::com_ptr<IKSQFolderRuleIterator> iterator;
        expect_ok(rules2->CreateFolderRuleIterator(iterator.put()));
        return record_texts(*iterator, &IKSQFolderRule::get_Path);
    }
    std::vector<std::wstring> log_files()
    {
        com::com_ptr<IKSQLogSettingsIterator> iterator;
        expect_ok(settings->CreateIterator(iterator.put()));
        return record_texts(*iterator, &IKSQLogSetting::get_LogFile);
    }
    // Everything the objects of the test hold: the stores, then the loose log
    // setting and folder rule.
    std::pair<hardening::stored_state, std::wstring> everything()
    {
        com::bstr file, path;
        LONG level = 0, action = 0;
        expect_ok(setting->get_LogFile(file.put()));
        expect_ok(setting->get_LogLevel(&level));
        expect_ok(folder_rule->get_Path(path.put()));
        expect_ok(folder_rule->get_Action(&action));
        return {hardening::read_state(rules.get(), settings.get(), options.get()),
                file.str() + L"|" + std::to_wstring(level) + L"|" + path.str() + L"|" + std::to_wstring(action)};
    }

    com::com_ptr<IKSQMergeRules> rules;
    com::com_ptr<IKSQMergeRules2> rules2;
    com::com_ptr<IKSQMergeOptions5> options;
    com::com_ptr<IKSQLogSettings> settings;
    com::com_ptr<IKSQLogSetting> setting;
    com::com_ptr<IKSQFolderRule> folder_rule;
};

TEST_F(BadInputTest, NullOutPointersFailWithErrorInformation)
{
    // One record of each kind, reached through its iterator.
    expect_ok(rules->SetCategoryRule(1, 2));
    expect_ok(rules->SetTypeRule(3, 4));
    expect_ok(rules->SetObjectRule(com::bstr(L"id").get(), 5, 6));
    expect_ok(rules2->SetFolderRule(com::bstr(L"\\p").get(), 7));
    expect_ok(setting->put_LogFile(com::bstr(L"x.log").get()));
    expect_ok(settings->Add(setting.get()));
    auto categories = make_iterator(*rules, &IKSQMergeRules::CreateCategoryRuleIterator);
    auto types = make_iterator(*rules, &IKSQMergeRules::CreateObjectTypeRuleIterator);
    auto objects = make_iterator(*rules, &IKSQMergeRules::CreateObjectRuleIterator);
    auto folders = make_iterator(*rules2, &IKSQMergeRules2::CreateFolderRuleIterator);
    auto logs = make_iterator(*settings, &IKSQLogSettings::CreateIterator);
    // The records come from iterators of their own, so that those above still
    // have a record ahead.
    auto category = first_record<IKSQCategoryRule>(make_iterator(*rules, &IKSQMergeRules::CreateCategoryRuleIterator));
    auto type = first_record<IKSQObjectTypeRule>(make_iterator(*rules, &IKSQMergeRules::CreateObjectTypeRuleIterator));
    auto object = first_record<IKSQObjectRule>(make_iterator(*rules, &IKSQMergeRules::CreateObjectRuleIterator));
    auto folder = first_record<IKSQFolderRule>(make_iterator(*rules2, &IKSQMergeRules2::CreateFolderRuleIterator));
    ASSERT_TRUE(category && type && object && folder);
    auto host_object = add_item(*host, L"n1", L"N", 120, L"");
    auto v1 = options.try_as<IKSQMergeOptions>();
    auto v2 = options.try_as<IKSQMergeOptions2>();
    auto v3 = options.try_as<IKSQMergeOptions3>();
    auto v4 = options.try_as<IKSQMergeOptions4>();
    auto transvane = options.try_as<IKSQTransvaneOptions>();

    const std::pair<const wchar_t*, std::function<HRESULT()>> calls[] = {
        {L"CMergeRules", [&] { return rules->FindAction(host_object.get(), nullptr); }},
        {L"CMergeRules", [&] { return rules->CreateCategoryRuleIterator(nullptr); }},
        {L"CMergeRules", [&] { return rules->CreateObjectTypeRuleIterator(nullptr); }},
        {L"CMergeRules", [&] { return rules->CreateObjectRuleIterator(nullptr); }},
        {L"CMergeRules", [&] { return rules2->FindAction(host_object.get(), nullptr); }},
        {L"CMergeRules", [&] { return rules2->CreateCategoryRuleIterator(nullptr); }},
        {L"CMergeRules", [&] { return rules2->CreateObjectTypeRuleIterator(nullptr); }},
        {L"CMergeRules", [&] { return rules2->CreateObjectRuleIterator(nullptr); }},
        {L"CMergeRules", [&] { return rules2->CreateFolderRuleIterator(nullptr); }},
        {L"CCategoryRuleIterator", [&] { return categories->HasNext(nullptr); }},
        {L"CCategoryRuleIterator", [&] { return categories->Next(nullptr); }},
        {L"CObjectTypeRuleIterator", [&] { return types->HasNext(nullptr); }},
        {L"CObjectTypeRuleIterator", [&] { return types->Next(nullptr); }},
        {L"CObjectRuleIterator", [&] { return objects->HasNext(nullptr); }},
        {L"CObjectRuleIterator", [&] { return objects->Next(nullptr); }},
        {L"CFolderRuleIterator", [&] { return folders->HasNext(nullptr); }},
        {L"CFolderRuleIterator", [&] { return folders->Next(nullptr); }},
        {L"CLogSettingsIterator", [&] { return logs->HasNext(nullptr); }},
        {L"CLogSettingsIterator", [&] { return logs->Next(nullptr); }},
        {L"CLogSettings", [&] { return settings->CreateIterator(nullptr); }},
        {L"CLogSetting", [&] { return setting->get_LogFile(nullptr); }},
        {L"CLogSetting", [&] { return setting->get_LogLevel(nullptr); }},
        {L"CCategoryRule", [&] { return category->get_CategoryType(nullptr); }},
        {L"CCategoryRule", [&] { return category->get_Action(nullptr); }},
        {L"CObjectTypeRule", [&] { return type->get_ObjectType(nullptr); }},
        {L"CObjectTypeRule", [&] { return type->get_Action(nullptr); }},
        {L"CObjectRule", [&] { return object->get_ObjectID(nullptr); }},
        {L"CObjectRule", [&] { return object->get_Type(nullptr); }},
        {L"CObjectRule", [&] { return object->get_Action(nullptr); }},
        {L"CFolderRule", [&] { return folder->get_Path(nullptr); }},
        {L"CFolderRule", [&] { return folder->get_Action(nullptr); }},
        {L"CMergeOptions", [&] { return v1->get_CopyACLOption(nullptr); }},
        {L"CMergeOptions", [&] { return v2->get_CopyACLOption(nullptr); }},
        {L"CMergeOptions", [&] { return v2->get_ResolutionMethod(nullptr); }},
        {L"CMergeOptions", [&] { return v2->get_UserMergeOptions(nullptr); }},
        {L"CMergeOptions", [&] { return v3->get_CopyACLOption(nullptr); }},
        {L"CMergeOptions", [&] { return v3->get_ResolutionMethod(nullptr); }},
        {L"CMergeOptions", [&] { return v3->get_UserMergeOptions(nullptr); }},
        {L"CMergeOptions", [&] { return v3->get_MapSchemaObjectsSetting(nullptr); }},
        {L"CMergeOptions", [&] { return v4->get_CopyACLOption(nullptr); }},
        {L"CMergeOptions", [&] { return v4->get_ResolutionMethod(nullptr); }},
        {L"CMergeOptions", [&] { return v4->get_UserMergeOptions(nullptr); }},
        {L"CMergeOptions", [&] { return v4->get_MapSchemaObjectsSetting(nullptr); }},
        {L"CMergeOptions", [&] { return v4->get_UpdateSchemaOption(nullptr); }},
        {L"CMergeOptions", [&] { return v4->get_LockTakeOverOption(nullptr); }},
        {L"CMergeOptions", [&] { return options->get_CopyACLOption(nullptr); }},
        {L"CMergeOptions", [&] { return options->get_ResolutionMethod(nullptr); }},
        {L"CMergeOptions", [&] { return options->get_UserMergeOptions(nullptr); }},
        {L"CMergeOptions", [&] { return options->get_MapSchemaObjectsSetting(nullptr); }},
        {L"CMergeOptions", [&] { return options->get_UpdateSchemaOption(nullptr); }},
        {L"CMergeOptions", [&] { return options->get_LockTakeOverOption(nullptr); }},
        {L"CMergeOptions", [&] { return options->get_TVOnOffMergeOptions(nullptr); }},
        {L"CMergeOptions", [&] { return transvane->get_CopyFolder(nullptr); }},
    };
    const auto before = everything();
    for (const auto& [label, call] : calls) {
        ++inputs_tried;
        const failure f = failure_of(call());
        EXPECT_EQ(f.code, E_POINTER) << std::string(label, label + wcslen(label));
        EXPECT_EQ(f.source, label);
        EXPECT_FALSE(f.description.empty());
    }
    // The iterator did not move.
    VARIANT_BOOL more = VARIANT_FALSE;
    expect_ok(logs->HasNext(&more));
    EXPECT_TRUE(more);
    EXPECT_EQ(everything(), before);
}

TEST_F(BadInputTest, NullObjectsFailClearlyAndChangeNothing)
{
    const auto before = everything();
    LONG action = 0;
    failure f = failure_of(rules->FindAction(nullptr, &action));
    EXPECT_TRUE(FAILED(f.code));
    EXPECT_EQ(f.source, L"CMergeRules");
    f = failure_of(rules2->FindAction(nullptr, &action));
    EXPECT_TRUE(FAILED(f.code));
    EXPECT_EQ(f.source, L"CMergeRules");
    f = failure_of(settings->Add(nullptr));
    EXPECT_TRUE(FAILED(f.code));
    EXPECT_EQ(f.source, L"CLogSettings");
    auto own = rules.try_as<_CMergeRules>();
    HostSession* none = nullptr;
    EXPECT_EQ(failure_of(own->ProcessFolderRule(&none)).source, L"CMergeRules");
    inputs_tried += 4;
    EXPECT_EQ(everything(), before);
}

// Texts with NUL characters, and of a million characters, are keys like any
// other: exact, distinct from their prefixes, handed back unchanged.
TEST_F(BadInputTest, TextsAreStoredAndComparedExactly)
{
    const std::wstring nul_inside(L"a\0b", 3), nul_end(L"a\0", 2), prefix(L"a");
    std::wstring huge(1000000, L'x');
    for (std::size_t i = 0; i < huge.size(); i += 997)
        huge[i] = static_cast<wchar_t>(L'a' + i % 26);
    std::wstring huge_other = huge;
    huge_other.back() = L'!';
    const std::wstring texts[] = {nul_inside, nul_end, prefix, huge, huge_other, std::wstring(L"\0", 1)};

    for (const std::wstring& text : texts) {
        expect_ok(rules->SetObjectRule(com::bstr(text).get(), 120, 3), "SetObjectRule");
        expect_ok(rules2->SetFolderRule(com::bstr(text).get(), 4), "SetFolderRule");
        auto named = create<IKSQLogSetting>(CLSID_CLogSetting);
        expect_ok(named->put_LogFile(com::bstr(text).get()));
        com::bstr read;
        expect_ok(named->get_LogFile(read.put()));
        EXPECT_TRUE(read.view() == text) << "LogFile read back";
        expect_ok(settings->Add(named.get()), "Add");
        inputs_tried += 3;
    }
    const std::vector<std::wstring> expected(std::begin(texts), std::end(texts));
    EXPECT_TRUE(object_rules() == expected);
    EXPECT_TRUE(folder_rules() == expected);
    EXPECT_TRUE(log_files() == expected);

    // Each is a duplicate of itself only.
    for (const std::wstring& text : texts) {
        EXPECT_EQ(rules->SetObjectRule(com::bstr(text).get(), 1, 1), numbered(63602));
        EXPECT_EQ(rules2->SetFolderRule(com::bstr(text).get(), 1), numbered(63630));
        auto again = create<IKSQLogSetting>(CLSID_CLogSetting);
        expect_ok(again->put_LogFile(com::bstr(text).get()));
        EXPECT_EQ(settings->Add(again.get()), numbered(63609));
        inputs_tried += 3;
    }
    EXPECT_TRUE(object_rules() == expected);

    // FindAction matches the host object's ID exactly.
    for (const std::wstring& text : {nul_inside, huge}) {
        com::com_ptr<HostObject> object = add_item(*host, text, L"t", 120, L"");
        LONG action = 0;
        expect_ok(rules->FindAction(object.get(), &action));
        EXPECT_EQ(action, 3);
        ++inputs_tried;
    }
    // A folder rule record keeps its path whole too.
    expect_ok(folder_rule->put_Path(com::bstr(huge_other).get()));
    com::bstr path;
    expect_ok(folder_rule->get_Path(path.put()));
    EXPECT_TRUE(path.view() == huge_other);
}

// ---- Through IDispatch ----

struct member {
    DISPID id;
    INVOKEKIND kind;
    short params;
    std::vector<VARTYPE> types;
};

std::vector<member> members_of(IDispatch& object)
{
    std::vector<member> result;
    com::com_ptr<ITypeInfo> info;
    expect_ok(object.GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put()), "GetTypeInfo");
    TYPEATTR* attributes = nullptr;
    expect_ok(info->GetTypeAttr(&attributes));
    for (UINT i = 0; i < attributes->cFuncs; ++i) {
        FUNCDESC* description = nullptr;
        expect_ok(info->GetFuncDesc(i, &description));
        // Not the members of IUnknown and IDispatch; a return value is no argument.
        if (description->memid < 0x60000000 || description->memid >= 0x60020000) {
            member m{description->memid, description->invkind, 0, {}};
            for (short p = 0; p < description->cParams; ++p) {
                if (description->lprgelemdescParam[p].paramdesc.wParamFlags & PARAMFLAG_FRETVAL) continue;
                m.types.push_back(description->lprgelemdescParam[p].tdesc.vt);
                ++m.params;
            }
            result.push_back(m);
        }
        info->ReleaseFuncDesc(description);
    }
    info->ReleaseTypeAttr(attributes);
    return result;
}

HRESULT invoke(IDispatch& object, DISPID id, WORD flags, std::vector<VARIANT>& arguments, bool named_put = false)
{
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params = {arguments.empty() ? nullptr : arguments.data(), named_put ? &put : nullptr,
                         static_cast<UINT>(arguments.size()), named_put ? 1u : 0u};
    com::variant result;
    EXCEPINFO exception = {};
    UINT argument_error = 0;
    const HRESULT hr =
        object.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                      (flags & DISPATCH_PROPERTYPUT) ? nullptr : result.put(), &exception, &argument_error);
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrHelpFile);
    return hr;
}

WORD flags_of(INVOKEKIND kind)
{
    return kind == INVOKE_PROPERTYPUT   ? DISPATCH_PROPERTYPUT
           : kind == INVOKE_PROPERTYGET ? DISPATCH_PROPERTYGET
                                        : DISPATCH_METHOD;
}

// Values of every VARIANT type, by value, by reference and as arrays.
class variant_zoo {
public:
    variant_zoo()
    {
        text_ = ::SysAllocString(L"12");
        word_ = ::SysAllocString(L"twelve");
        array_ = ::SafeArrayCreateVector(VT_I4, 0, 2);
        empty_array_ = ::SafeArrayCreateVector(VT_VARIANT, 0, 0);
        object_ = create<IDispatch>(CLSID_CLogSetting);
        inner_.vt = VT_I4;
        inner_.lVal = 5;
        add([](VARIANT&) {}, VT_EMPTY);
        add([](VARIANT&) {}, VT_NULL);
        add([](VARIANT& v) { v.iVal = -3; }, VT_I2);
        add([](VARIANT& v) { v.lVal = 2147483647; }, VT_I4);
        add([](VARIANT& v) { v.fltVal = 2.5f; }, VT_R4);
        add([](VARIANT& v) { v.dblVal = 1e300; }, VT_R8);
        add([](VARIANT& v) { v.dblVal = -0.0; }, VT_R8);
        add([](VARIANT& v) { v.cyVal.int64 = 120000; }, VT_CY);
        add([](VARIANT& v) { v.date = 40000.5; }, VT_DATE);
        add([&](VARIANT& v) { v.bstrVal = text_; }, VT_BSTR);
        add([&](VARIANT& v) { v.bstrVal = word_; }, VT_BSTR);
        add([](VARIANT& v) { v.bstrVal = nullptr; }, VT_BSTR);
        add([&](VARIANT& v) { v.pdispVal = object_.get(); }, VT_DISPATCH);
        add([](VARIANT& v) { v.pdispVal = nullptr; }, VT_DISPATCH);
        add([](VARIANT& v) { v.scode = DISP_E_PARAMNOTFOUND; }, VT_ERROR);
        add([](VARIANT& v) { v.boolVal = VARIANT_TRUE; }, VT_BOOL);
        add([&](VARIANT& v) { v.punkVal = object_.get(); }, VT_UNKNOWN);
        add([](VARIANT& v) { v.decVal.Lo64 = 7; }, VT_DECIMAL); // overwrites vt, set again below
        add([](VARIANT& v) { v.cVal = -1; }, VT_I1);
        add([](VARIANT& v) { v.bVal = 255; }, VT_UI1);
        add([](VARIANT& v) { v.uiVal = 65535; }, VT_UI2);
        add([](VARIANT& v) { v.ulVal = 4294967295u; }, VT_UI4);
        add([](VARIANT& v) { v.llVal = 1LL << 40; }, VT_I8);
        add([](VARIANT& v) { v.ullVal = 3; }, VT_UI8);
        add([](VARIANT& v) { v.intVal = 9; }, VT_INT);
        add([](VARIANT& v) { v.uintVal = 9; }, VT_UINT);
        add([&](VARIANT& v) { v.parray = array_; }, VT_ARRAY | VT_I4);
        add([&](VARIANT& v) { v.parray = empty_array_; }, VT_ARRAY | VT_VARIANT);
        add([](VARIANT& v) { v.parray = nullptr; }, VT_ARRAY | VT_BSTR);
        add([&](VARIANT& v) { v.plVal = &number_; }, VT_BYREF | VT_I4);
        add([](VARIANT& v) { v.plVal = nullptr; }, VT_BYREF | VT_I4);
        add([&](VARIANT& v) { v.pbstrVal = &text_; }, VT_BYREF | VT_BSTR);
        add([&](VARIANT& v) { v.pvarVal = &inner_; }, VT_BYREF | VT_VARIANT);
        add([&](VARIANT& v) { v.ppdispVal = &dispatch_slot_; }, VT_BYREF | VT_DISPATCH);
        add([&](VARIANT& v) { v.pparray = &array_; }, VT_BYREF | VT_ARRAY | VT_I4);
        add([](VARIANT&) {}, static_cast<VARTYPE>(0x7FF)); // no such type
        add([](VARIANT& v) { v.byref = nullptr; }, VT_RECORD);
    }
    ~variant_zoo()
    {
        ::SysFreeString(text_);
        ::SysFreeString(word_);
        ::SafeArrayDestroy(array_);
        ::SafeArrayDestroy(empty_array_);
    }
    const std::vector<VARIANT>& values() const { return values_; }

private:
    template <class Fill> void add(Fill fill, VARTYPE type)
    {
        VARIANT v;
        ::VariantInit(&v);
        fill(v);
        v.vt = type;
        values_.push_back(v);
    }
    BSTR text_, word_;
    SAFEARRAY *array_, *empty_array_;
    LONG number_ = 77;
    VARIANT inner_{};
    IDispatch* dispatch_slot_ = nullptr;
    com::com_ptr<IDispatch> object_;
    std::vector<VARIANT> values_;
};

TEST_F(BadInputTest, MalformedDispatchCallsFailWithAutomationCodesAndStoreNothing)
{
    auto host_object = add_item(*host, L"d1", L"D", 120, L"");
    const std::pair<const char*, com::com_ptr<IDispatch>> targets[] = {
        {"IKSQMergeRules", rules.try_as<IDispatch>()},
        {"IKSQMergeRules2", com::com_ptr<IDispatch>(rules2.get())},
        {"IKSQMergeOptions", com::com_ptr<IDispatch>(options.try_as<IKSQMergeOptions>().get())},
        {"IKSQMergeOptions5", com::com_ptr<IDispatch>(options.get())},
        {"IKSQTransvaneOptions", com::com_ptr<IDispatch>(options.try_as<IKSQTransvaneOptions>().get())},
        {"IKSQLogSettings", com::com_ptr<IDispatch>(settings.get())},
        {"IKSQLogSetting", com::com_ptr<IDispatch>(setting.get())},
        {"IKSQFolderRule", com::com_ptr<IDispatch>(folder_rule.get())},
    };
    const auto before = everything();
    const std::set<HRESULT> argument_codes = {
        DISP_E_TYPEMISMATCH, DISP_E_BADVARTYPE, DISP_E_OVERFLOW, DISP_E_PARAMNOTOPTIONAL, DISP_E_PARAMNOTFOUND,
        DISP_E_EXCEPTION,    E_INVALIDARG,      E_POINTER,       DISP_E_BADPARAMCOUNT};
    variant_zoo zoo;
    for (const auto& [name, target] : targets) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(target);
        const std::vector<member> members = members_of(*target);
        ASSERT_FALSE(members.empty());
        std::vector<VARIANT> none;
        // Unknown members.
        for (DISPID unknown : {DISPID(4242), DISPID(-77), DISPID(0x60039999)}) {
            EXPECT_EQ(invoke(*target, unknown, DISPATCH_METHOD, none), DISP_E_MEMBERNOTFOUND);
            ++inputs_tried;
        }
        for (const member& m : members) {
            SCOPED_TRACE(testing::Message() << "member " << m.id);
            const WORD flags = flags_of(m.kind);
            const bool put = m.kind == INVOKE_PROPERTYPUT;
            // Too many arguments, and (where there are any) too few.
            std::vector<VARIANT> too_many(static_cast<std::size_t>(m.params) + 1);
            for (VARIANT& v : too_many) {
                ::VariantInit(&v);
                v.vt = VT_I4;
                v.lVal = 1;
            }
            EXPECT_EQ(invoke(*target, m.id, flags, too_many, put), DISP_E_BADPARAMCOUNT);
            ++inputs_tried;
            if (m.params > 0) {
                std::vector<VARIANT> too_few(too_many.begin(), too_many.begin() + (m.params - 1));
                const HRESULT hr = invoke(*target, m.id, flags, too_few, put && !too_few.empty());
                EXPECT_TRUE(hr == DISP_E_BADPARAMCOUNT || hr == DISP_E_PARAMNOTOPTIONAL) << std::hex << hr;
                ++inputs_tried;
            }
            // The wrong kind of call.
            const WORD wrong = put ? DISPATCH_PROPERTYPUTREF : m.kind == INVOKE_FUNC ? DISPATCH_PROPERTYPUT : WORD(0);
            std::vector<VARIANT> exact(too_many.begin(), too_many.begin() + m.params);
            if (wrong) {
                EXPECT_EQ(invoke(*target, m.id, wrong, exact, wrong != DISPATCH_METHOD && !exact.empty()),
                          DISP_E_MEMBERNOTFOUND);
                ++inputs_tried;
            }
        }
    }
    EXPECT_EQ(everything(), before) << "a malformed call stored something";

    // Arguments of every type in every position, the others well-formed: refused
    // with an automation code, or coerced (what a coerced setter stores is checked
    // in ArgumentsOfEveryTypeAreCoercedOrRefused).
    for (const auto& [name, target] : targets) {
        SCOPED_TRACE(name);
        for (const member& m : members_of(*target)) {
            SCOPED_TRACE(testing::Message() << "member " << m.id);
            const WORD flags = flags_of(m.kind);
            const bool put = m.kind == INVOKE_PROPERTYPUT;
            std::vector<VARIANT> exact(static_cast<std::size_t>(m.params));
            for (VARIANT& v : exact) {
                ::VariantInit(&v);
                v.vt = VT_I4;
                v.lVal = 1;
            }
            if (m.kind == INVOKE_PROPERTYGET) continue;
            for (short position = 0; position < m.params; ++position) {
                for (const VARIANT& value : zoo.values()) {
                    std::vector<VARIANT> arguments = exact;
                    // The rest: a text where a text is wanted, an object where one is.
                    for (short p = 0; p < m.params; ++p) {
                        const VARTYPE wanted = m.types[static_cast<std::size_t>(m.params - 1 - p)];
                        if (wanted == VT_BSTR) {
                            arguments[static_cast<std::size_t>(p)].vt = VT_BSTR;
                            arguments[static_cast<std::size_t>(p)].bstrVal = nullptr;
                        } else if (wanted == VT_PTR || wanted == VT_DISPATCH || wanted == VT_USERDEFINED) {
                            arguments[static_cast<std::size_t>(p)].vt = VT_DISPATCH;
                            arguments[static_cast<std::size_t>(p)].pdispVal = host_object.try_as<IDispatch>().get();
                        }
                    }
                    arguments[static_cast<std::size_t>(position)] = value;
                    const HRESULT hr = invoke(*target, m.id, flags, arguments, put);
                    ++inputs_tried;
                    if (FAILED(hr)) {
                        EXPECT_TRUE(argument_codes.count(hr)) << "vt " << value.vt << " hr " << std::hex << hr;
                    }
                }
            }
        }
    }
    std::printf("bad input: %d inputs tried\n", inputs_tried);
}

// What the member-by-member sweep above leaves out: a call whose DISPPARAMS or
// interface is malformed is refused before the member runs.
TEST_F(BadInputTest, MalformedDispatchParametersAreRefusedBeforeTheMemberRuns)
{
    expect_ok(folder_rule->put_Path(com::bstr(L"\\Kept").get()));
    IDispatch& dispatch = *folder_rule;
    const DISPID path = dispid_of(dispatch, L"Path");
    com::variant text;
    text.get()->vt = VT_BSTR;
    text.get()->bstrVal = ::SysAllocString(L"\\Changed");
    DISPID put = DISPID_PROPERTYPUT;
    UINT argument_error = 99;

    DISPPARAMS one = {text.get(), &put, 1, 1};
    EXPECT_EQ(dispatch.Invoke(path, IID_IKSQFolderRule, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &one, nullptr,
                              nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
    // Pointers missing where counts say there are arguments.
    DISPPARAMS no_arguments = {nullptr, &put, 1, 1};
    EXPECT_EQ(dispatch.Invoke(path, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &no_arguments, nullptr,
                              nullptr, nullptr),
              E_INVALIDARG);
    DISPPARAMS no_named = {text.get(), nullptr, 1, 1};
    EXPECT_EQ(dispatch.Invoke(path, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &no_named, nullptr, nullptr,
                              nullptr),
              E_INVALIDARG);
    EXPECT_EQ(
        dispatch.Invoke(path, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, nullptr, nullptr, nullptr, nullptr),
        E_INVALIDARG);
    // A named argument the member does not have.
    DISPID unknown_name = 7;
    DISPPARAMS bad_name = {text.get(), &unknown_name, 1, 1};
    EXPECT_EQ(dispatch.Invoke(path, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &bad_name, nullptr, nullptr,
                              &argument_error),
              DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(argument_error, 0u);

    com::bstr stored;
    expect_ok(folder_rule->get_Path(stored.put()));
    EXPECT_EQ(stored.view(), L"\\Kept");
    // The well-formed call still works.
    expect_ok(
        dispatch.Invoke(path, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &one, nullptr, nullptr, nullptr));
    expect_ok(folder_rule->get_Path(stored.put()));
    EXPECT_EQ(stored.view(), L"\\Changed");
}

// A setter given an argument it cannot take stores nothing; one it can coerce
// stores the coerced value.
TEST_F(BadInputTest, ArgumentsOfEveryTypeAreCoercedOrRefused)
{
    const DISPID set_category = [&] {
        DISPID id = 0;
        LPOLESTR names[] = {const_cast<LPOLESTR>(L"SetCategoryRule")};
        expect_ok(rules->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
        return id;
    }();
    const DISPID acl = [&] {
        DISPID id = 0;
        LPOLESTR names[] = {const_cast<LPOLESTR>(L"CopyACLOption")};
        expect_ok(options->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
        return id;
    }();
    variant_zoo zoo;
    LONG next_action = 1000;
    std::vector<LONG> stored_categories;
    for (const VARIANT& value : zoo.values()) {
        SCOPED_TRACE(testing::Message() << "vt " << value.vt);
        // The category is the value under test; the action tells the calls apart.
        VARIANT copy = value;
        VARIANT converted;
        ::VariantInit(&converted);
        const bool converts = SUCCEEDED(::VariantChangeType(&converted, &copy, 0, VT_I4));
        std::vector<VARIANT> arguments(2);
        ::VariantInit(&arguments[0]);
        arguments[0].vt = VT_I4;
        arguments[0].lVal = next_action++; // the last argument comes first
        arguments[1] = value;
        const bool new_key = converts && std::find(stored_categories.begin(), stored_categories.end(),
                                                   converted.lVal) == stored_categories.end();
        const HRESULT hr = invoke(*rules, set_category, DISPATCH_METHOD, arguments);
        ++inputs_tried;
        if (SUCCEEDED(hr)) {
            EXPECT_TRUE(converts) << "accepted a value that does not convert";
            EXPECT_TRUE(new_key);
            stored_categories.push_back(converted.lVal);
        }
        // CopyACLOption: stored only when it converts to 1 or 2.
        LONG acl_before = 0;
        expect_ok(options->get_CopyACLOption(&acl_before));
        std::vector<VARIANT> one = {value};
        const HRESULT put = invoke(*options, acl, DISPATCH_PROPERTYPUT, one, true);
        ++inputs_tried;
        LONG acl_after = 0;
        expect_ok(options->get_CopyACLOption(&acl_after));
        if (SUCCEEDED(put)) {
            EXPECT_TRUE(converts && (converted.lVal == 1 || converted.lVal == 2));
            EXPECT_EQ(acl_after, converted.lVal);
        } else {
            EXPECT_EQ(acl_after, acl_before) << "a refused value changed the option";
        }
    }
    // Exactly the accepted categories are stored, in order.
    std::vector<LONG> categories;
    com::com_ptr<IKSQCategoryRuleIterator> iterator;
    expect_ok(rules->CreateCategoryRuleIterator(iterator.put()));
    for (;;) {
        com::com_ptr<IKSQCategoryRule> rule;
        expect_ok(iterator->Next(rule.put()));
        if (!rule) break;
        LONG category = 0;
        expect_ok(rule->get_CategoryType(&category));
        categories.push_back(category);
    }
    EXPECT_EQ(categories, stored_categories);
}

} // namespace
