// Every failure reaches the caller with its HRESULT, source and message, however
// the failing host service or host object reports its errors, through the
// vtable and through IDispatch; information left on the thread by an earlier
// call never passes for that of a later failure.
#include "support/com_testing.h"
#include "support/sim_host.h"

#include <K1MrgRls.h>

#include "com/safearray.h"

#include <functional>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

constexpr HRESULT injected = static_cast<HRESULT>(0x80041234L);
constexpr const wchar_t* injected_text = L"host says no";

// How the host reports a failure (ISimHostControl.SetErrorInfoMode).
enum class host_mode : long { supported = 0, unannounced = 1, disowned = 2, silent = 3 };
enum class channel { vtable, dispatch };

struct mode_case {
    host_mode mode;
    channel via;
};

std::string name_of(const ::testing::TestParamInfo<mode_case>& info)
{
    static const char* const modes[] = {"Supported", "WithoutISupportErrorInfo", "Disowned", "Silent"};
    return std::string(modes[static_cast<long>(info.param.mode)]) +
           (info.param.via == channel::vtable ? "ThroughVtable" : "ThroughIDispatch");
}

// Whether the host's own information is what the caller must receive.
bool host_information_counts(host_mode mode) { return mode == host_mode::supported || mode == host_mode::unannounced; }

// One argument of a late-bound call.
struct argument {
    VARTYPE type;
    LONG number = 0;
    const wchar_t* text = nullptr;
    IDispatch* object = nullptr;
};

// A late-bound call; what failed comes from the EXCEPINFO, as an automation
// client sees it.
failure invoke(IDispatch& object, const wchar_t* name, WORD flags, std::vector<argument> arguments)
{
    std::vector<VARIANT> values(arguments.size());
    // Automation passes arguments last to first.
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        VARIANT& v = values[arguments.size() - 1 - i];
        ::VariantInit(&v);
        v.vt = arguments[i].type;
        if (v.vt == VT_I4) v.lVal = arguments[i].number;
        if (v.vt == VT_BSTR) v.bstrVal = ::SysAllocString(arguments[i].text);
        if (v.vt == VT_DISPATCH) v.pdispVal = arguments[i].object;
    }
    DISPID put = DISPID_PROPERTYPUT;
    const bool is_put = flags == DISPATCH_PROPERTYPUT;
    DISPPARAMS params = {values.data(), is_put ? &put : nullptr, static_cast<UINT>(values.size()), is_put ? 1u : 0u};
    EXCEPINFO exception = {};
    com::variant result;
    const HRESULT hr = object.Invoke(dispid_of(object, name), IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                     result.put(), &exception, nullptr);
    for (VARIANT& v : values) {
        if (v.vt == VT_BSTR) ::VariantClear(&v);
    }
    failure f;
    f.code = hr;
    if (hr == DISP_E_EXCEPTION) {
        f.code = exception.scode;
        f.source = com::bstr::view_of(exception.bstrSource);
        f.description = com::bstr::view_of(exception.bstrDescription);
    }
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrHelpFile);
    return f;
}

template <class I> IDispatch& dispatch_of(I& object) { return object; }

// A stale error on the thread, as a caller or an earlier host call may leave it.
void leave_stale_error()
{
    com::com_ptr<ICreateErrorInfo> create;
    ASSERT_TRUE(SUCCEEDED(::CreateErrorInfo(create.put())));
    create->SetSource(com::bstr(L"Stale").get());
    create->SetDescription(com::bstr(L"an earlier failure").get());
    ::SetErrorInfo(0, create.try_as<IErrorInfo>().get());
}

class ErrorInfoTest : public SimHostFixture<::testing::TestWithParam<mode_case>> {
protected:
    void SetUp() override
    {
        SimHostFixture::SetUp();
        rules = create<IKSQMergeRules>(CLSID_CMergeRules);
        rules2 = query<IKSQMergeRules2>(rules);
        options = create<IKSQMergeOptions>(CLSID_CMergeOptions);
        settings = create<IKSQLogSettings>(CLSID_CLogSettings);
    }

    host_mode mode() const { return GetParam().mode; }
    bool by_vtable() const { return GetParam().via == channel::vtable; }

    // Sets the mode of `target`, leaves a stale error, makes the call.
    failure fail(const wchar_t* target, const std::function<HRESULT()>& vtable_call,
                 const std::function<failure()>& dispatch_call)
    {
        set_error_info_mode(*host, target, static_cast<long>(mode()));
        leave_stale_error();
        return by_vtable() ? failure_of(vtable_call()) : dispatch_call();
    }

    // A numbered error: the host's message when its information counts,
    // otherwise one that names the number and the insert.
    void expect_numbered(const failure& f, long number, const wchar_t* source, const std::wstring& insert)
    {
        EXPECT_EQ(f.code, numbered(number));
        EXPECT_EQ(f.source, source);
        EXPECT_NE(f.description.find(insert), std::wstring::npos)
            << "description: " << testing::PrintToString(f.description);
        if (!host_information_counts(mode())) {
            const std::wstring own = L"Error " + std::to_wstring(number);
            EXPECT_EQ(f.description.substr(0, own.size()), own);
        }
        EXPECT_EQ(f.description.find(L"earlier"), std::wstring::npos);
    }

    // An injected host failure: the host's information, or the component's own
    // naming the HRESULT, with the failing operation's class as source.
    void expect_injected(const failure& f, const wchar_t* class_label)
    {
        EXPECT_EQ(f.code, injected);
        if (host_information_counts(mode())) {
            EXPECT_EQ(f.source, L"KSimHost");
            EXPECT_EQ(f.description, injected_text);
        } else {
            EXPECT_EQ(f.source, class_label);
            EXPECT_EQ(f.description, L"Error 0x80041234");
        }
    }

    void inject(const wchar_t* operation, long nth = 1)
    {
        expect_ok(host->InjectFailure(com::bstr(operation).get(), nth, injected, com::bstr(injected_text).get()));
    }

    com::com_ptr<IKSQLogSetting> log_setting(const wchar_t* file)
    {
        auto setting = create<IKSQLogSetting>(CLSID_CLogSetting);
        expect_ok(setting->put_LogFile(com::bstr(file).get()));
        return setting;
    }

    com::com_ptr<IKSQMergeRules> rules;
    com::com_ptr<IKSQMergeRules2> rules2;
    com::com_ptr<IKSQMergeOptions> options;
    com::com_ptr<IKSQLogSettings> settings;
};

TEST_P(ErrorInfoTest, RuleStoreErrorsCarryTheirNumberSourceAndInsert)
{
    expect_ok(rules->SetCategoryRule(2, 5));
    expect_ok(rules->SetTypeRule(7, 5));
    expect_ok(rules->SetObjectRule(com::bstr(L"obj-1").get(), 7, 5));
    expect_ok(rules2->SetFolderRule(com::bstr(L"\\Shared\\Sales").get(), 5));

    expect_numbered(
        fail(
            L"HostUtility", [&] { return rules->SetCategoryRule(2, 6); },
            [&] {
                return invoke(dispatch_of(*rules), L"SetCategoryRule", DISPATCH_METHOD, {{VT_I4, 2}, {VT_I4, 6}});
            }),
        63600, L"CMergeRules", L"Category 2");
    expect_numbered(
        fail(
            L"HostUtility", [&] { return rules2->SetTypeRule(7, 6); },
            [&] {
                return invoke(dispatch_of(*rules2), L"SetTypeRule", DISPATCH_METHOD, {{VT_I4, 7}, {VT_I4, 6}});
            }),
        63601, L"CMergeRules", L"Object type 7");
    expect_numbered(fail(
                        L"HostUtility", [&] { return rules->SetObjectRule(com::bstr(L"obj-1").get(), 7, 6); },
                        [&] {
                            return invoke(dispatch_of(*rules), L"SetObjectRule", DISPATCH_METHOD,
                                          {{VT_BSTR, 0, L"obj-1"}, {VT_I4, 7}, {VT_I4, 6}});
                        }),
                    63602, L"CMergeRules", L"obj-1");
    expect_numbered(fail(
                        L"HostUtility", [&] { return rules2->SetFolderRule(com::bstr(L"\\Shared\\Sales").get(), 6); },
                        [&] {
                            return invoke(dispatch_of(*rules2), L"SetFolderRule", DISPATCH_METHOD,
                                          {{VT_BSTR, 0, L"\\Shared\\Sales"}, {VT_I4, 6}});
                        }),
                    63630, L"CMergeRules", L"\\Shared\\Sales");
}

TEST_P(ErrorInfoTest, OptionAndLogErrorsCarryTheirNumberSourceAndInsert)
{
    expect_numbered(fail(
                        L"HostUtility", [&] { return options->put_CopyACLOption(7); },
                        [&] {
                            return invoke(dispatch_of(*options), L"CopyACLOption", DISPATCH_PROPERTYPUT, {{VT_I4, 7}});
                        }),
                    63604, L"CMergeOptions", L"7");
    LONG stored = 0;
    expect_ok(options->get_CopyACLOption(&stored));
    EXPECT_EQ(stored, 1) << "a refused value is not stored";

    expect_ok(settings->Add(log_setting(L"merge.log").get()));
    // A file already present, and no file.
    const struct {
        const wchar_t* file;
        long number;
    } refused[] = {{L"merge.log", 63609}, {L"", 63610}};
    for (const auto& r : refused) {
        auto setting = log_setting(r.file);
        expect_numbered(fail(
                            L"HostUtility", [&] { return settings->Add(setting.get()); },
                            [&] {
                                return invoke(dispatch_of(*settings), L"Add", DISPATCH_METHOD,
                                              {{VT_DISPATCH, 0, nullptr, setting.get()}});
                            }),
                        r.number, L"CLogSettings", r.file);
    }
}

TEST_P(ErrorInfoTest, FailingTraceLinesReachTheCaller)
{
    com::com_ptr<IKSQMergeOptions2> options2 = query<IKSQMergeOptions2>(options);
    // The Enter line: nothing of the operation happens.
    inject(L"TraceService.Trace");
    expect_injected(
        fail(
            L"TraceService", [&] { return options2->put_ResolutionMethod(4); },
            [&] {
                return invoke(dispatch_of(*options2), L"ResolutionMethod", DISPATCH_PROPERTYPUT, {{VT_I4, 4}});
            }),
        L"CMergeOptions");
    LONG value = -1;
    expect_ok(options2->get_ResolutionMethod(&value));
    EXPECT_EQ(value, 0);

    // The Leave line: the work is done, and the caller still hears of the failure.
    inject(L"TraceService.Trace", 2);
    expect_injected(
        fail(
            L"TraceService", [&] { return options2->put_ResolutionMethod(4); },
            [&] {
                return invoke(dispatch_of(*options2), L"ResolutionMethod", DISPATCH_PROPERTYPUT, {{VT_I4, 4}});
            }),
        L"CMergeOptions");
    expect_ok(options2->get_ResolutionMethod(&value));
    EXPECT_EQ(value, 4);
}

TEST_P(ErrorInfoTest, FailingHostObjectReadsInFindActionReachTheCaller)
{
    auto object = add_item(*host, L"obj-9", L"Nine", 201, L"", 7);
    com::com_ptr<IDispatch> object_dispatch(object.get());
    for (const wchar_t* operation : {L"HostObject.ID", L"HostObject.TypeCode", L"HostObject.SubtypeCode"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(operation)));
        inject(operation);
        LONG action = -1;
        expect_injected(fail(
                            L"HostObjects", [&] { return rules->FindAction(object.get(), &action); },
                            [&] {
                                return invoke(dispatch_of(*rules), L"FindAction", DISPATCH_METHOD,
                                              {{VT_DISPATCH, 0, nullptr, object_dispatch.get()}});
                            }),
                        L"CMergeRules");
        expect_ok(host->ClearFailures());
    }
}

INSTANTIATE_TEST_SUITE_P(EveryHostMode, ErrorInfoTest,
                         ::testing::Values(mode_case{host_mode::supported, channel::vtable},
                                           mode_case{host_mode::supported, channel::dispatch},
                                           mode_case{host_mode::unannounced, channel::vtable},
                                           mode_case{host_mode::unannounced, channel::dispatch},
                                           mode_case{host_mode::disowned, channel::vtable},
                                           mode_case{host_mode::disowned, channel::dispatch},
                                           mode_case{host_mode::silent, channel::vtable},
                                           mode_case{host_mode::silent, channel::dispatch}),
                         name_of);

// A successful call leaves no error information behind, whatever was there.
TEST(ErrorInfoStaleTest, SuccessClearsWhatAnEarlierCallLeft)
{
    auto host = sim_host();
    expect_ok(host->Reset());
    auto rules = create<IKSQMergeRules>(CLSID_CMergeRules);
    leave_stale_error();
    expect_ok(rules->SetTypeRule(3, 1));
    com::com_ptr<IErrorInfo> left;
    EXPECT_EQ(::GetErrorInfo(0, left.put()), S_FALSE);
}

} // namespace
