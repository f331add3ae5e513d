// CMergeOptions as the host uses it: defaults, one stored value behind every
// version of an option, the range of CopyACLOption, and nested trace lines.
#include "support/com_testing.h"
#include "support/sim_host.h"

#include <K1MrgRls.h>

#include <climits>
#include <functional>

using namespace testing_support;

namespace {

// One way to reach an option: through one interface that carries it.
struct accessor {
    std::wstring interface_name;
    std::function<HRESULT(LONG)> put;
    std::function<HRESULT(LONG*)> get;
};

struct option {
    std::wstring name;
    LONG initial;
    std::vector<accessor> carriers;
};

template <class I>
accessor via(IUnknown* object, const wchar_t* interface_name, HRESULT (STDMETHODCALLTYPE I::*put)(LONG),
             HRESULT (STDMETHODCALLTYPE I::*get)(LONG*))
{
    com::com_ptr<I> i = com::com_ptr<IUnknown>(object).try_as<I>();
    EXPECT_TRUE(i) << "no interface " << std::string(interface_name, interface_name + wcslen(interface_name));
    return {interface_name, [i, put](LONG v) { return (i.get()->*put)(v); },
            [i, get](LONG* v) { return (i.get()->*get)(v); }};
}

std::vector<option> options_of(IUnknown* o)
{
    return {
        {L"CopyACLOption",
         1,
         {via(o, L"IKSQMergeOptions", &IKSQMergeOptions::put_CopyACLOption, &IKSQMergeOptions::get_CopyACLOption),
          via(o, L"IKSQMergeOptions2", &IKSQMergeOptions2::put_CopyACLOption, &IKSQMergeOptions2::get_CopyACLOption),
          via(o, L"IKSQMergeOptions3", &IKSQMergeOptions3::put_CopyACLOption, &IKSQMergeOptions3::get_CopyACLOption),
          via(o, L"IKSQMergeOptions4", &IKSQMergeOptions4::put_CopyACLOption, &IKSQMergeOptions4::get_CopyACLOption),
          via(o, L"IKSQMergeOptions5", &IKSQMergeOptions5::put_CopyACLOption, &IKSQMergeOptions5::get_CopyACLOption)}},
        {L"CopyFolder",
         1,
         {via(o, L"IKSQTransvaneOptions", &IKSQTransvaneOptions::put_CopyFolder,
              &IKSQTransvaneOptions::get_CopyFolder)}},
        {L"ResolutionMethod",
         0,
         {via(o, L"IKSQMergeOptions2", &IKSQMergeOptions2::put_ResolutionMethod,
              &IKSQMergeOptions2::get_ResolutionMethod),
          via(o, L"IKSQMergeOptions3", &IKSQMergeOptions3::put_ResolutionMethod,
              &IKSQMergeOptions3::get_ResolutionMethod),
          via(o, L"IKSQMergeOptions4", &IKSQMergeOptions4::put_ResolutionMethod,
              &IKSQMergeOptions4::get_ResolutionMethod),
          via(o, L"IKSQMergeOptions5", &IKSQMergeOptions5::put_ResolutionMethod,
              &IKSQMergeOptions5::get_ResolutionMethod)}},
        {L"UserMergeOptions",
         0,
         {via(o, L"IKSQMergeOptions2", &IKSQMergeOptions2::put_UserMergeOptions,
              &IKSQMergeOptions2::get_UserMergeOptions),
          via(o, L"IKSQMergeOptions3", &IKSQMergeOptions3::put_UserMergeOptions,
              &IKSQMergeOptions3::get_UserMergeOptions),
          via(o, L"IKSQMergeOptions4", &IKSQMergeOptions4::put_UserMergeOptions,
              &IKSQMergeOptions4::get_UserMergeOptions),
          via(o, L"IKSQMergeOptions5", &IKSQMergeOptions5::put_UserMergeOptions,
              &IKSQMergeOptions5::get_UserMergeOptions)}},
        {L"MapSchemaObjectsSetting",
         0,
         {via(o, L"IKSQMergeOptions3", &IKSQMergeOptions3::put_MapSchemaObjectsSetting,
              &IKSQMergeOptions3::get_MapSchemaObjectsSetting),
          via(o, L"IKSQMergeOptions4", &IKSQMergeOptions4::put_MapSchemaObjectsSetting,
              &IKSQMergeOptions4::get_MapSchemaObjectsSetting),
          via(o, L"IKSQMergeOptions5", &IKSQMergeOptions5::put_MapSchemaObjectsSetting,
              &IKSQMergeOptions5::get_MapSchemaObjectsSetting)}},
        {L"UpdateSchemaOption",
         0,
         {via(o, L"IKSQMergeOptions4", &IKSQMergeOptions4::put_UpdateSchemaOption,
              &IKSQMergeOptions4::get_UpdateSchemaOption),
          via(o, L"IKSQMergeOptions5", &IKSQMergeOptions5::put_UpdateSchemaOption,
              &IKSQMergeOptions5::get_UpdateSchemaOption)}},
        {L"LockTakeOverOption",
         0,
         {via(o, L"IKSQMergeOptions4", &IKSQMergeOptions4::put_LockTakeOverOption,
              &IKSQMergeOptions4::get_LockTakeOverOption),
          via(o, L"IKSQMergeOptions5", &IKSQMergeOptions5::put_LockTakeOverOption,
              &IKSQMergeOptions5::get_LockTakeOverOption)}},
        {L"TVOnOffMergeOptions",
         0,
         {via(o, L"IKSQMergeOptions5", &IKSQMergeOptions5::put_TVOnOffMergeOptions,
              &IKSQMergeOptions5::get_TVOnOffMergeOptions)}},
    };
}

LONG read(const accessor& a)
{
    LONG value = -12345;
    expect_ok(a.get(&value), "get");
    return value;
}

class MergeOptionsTest : public SimHostTest {
protected:
    void SetUp() override
    {
        SimHostTest::SetUp();
        record = create<IUnknown>(CLSID_CMergeOptions);
        options = options_of(record.get());
        expect_ok(host->ClearTrace());
        expect_ok(host->ClearCalls());
    }
    void TearDown() override
    {
        options.clear();
        record.reset();
    }

    const option& named(const wchar_t* name)
    {
        for (const option& o : options)
            if (o.name == name) return o;
        throw std::logic_error("no such option");
    }

    com::com_ptr<IUnknown> record;
    std::vector<option> options;
};

TEST_F(MergeOptionsTest, CreationTracesClassInitialize)
{
    record.reset();
    options.clear();
    expect_ok(host->ClearTrace());
    record = create<IUnknown>(CLSID_CMergeOptions);
    EXPECT_EQ(trace_lines(*host), (std::vector<std::wstring>{L"Enter CMergeOptions Class_Initialize",
                                                             L"Leave CMergeOptions Class_Initialize"}));
}

TEST_F(MergeOptionsTest, NewRecordHoldsTheDefaultsThroughEveryInterface)
{
    for (const option& o : options)
        for (const accessor& a : o.carriers)
            EXPECT_EQ(read(a), o.initial) << o.name << " via " << a.interface_name;
}

TEST_F(MergeOptionsTest, EveryVersionSharesOneStoredValue)
{
    LONG value = 2; // valid for CopyACLOption too
    for (const option& o : options) {
        for (const accessor& writer : o.carriers) {
            expect_ok(writer.put(value), "put");
            for (const accessor& reader : o.carriers)
                EXPECT_EQ(read(reader), value)
                    << o.name << " written via " << writer.interface_name << ", read via " << reader.interface_name;
            value = value == 2 ? 1 : 2;
        }
    }
}

TEST_F(MergeOptionsTest, OptionsOtherThanCopyAclStoreAnyValue)
{
    for (const option& o : options) {
        if (o.name == L"CopyACLOption") continue;
        for (LONG value : {LONG(-1), LONG(0), LONG(7), LONG(INT_MIN), LONG(INT_MAX)}) {
            expect_ok(o.carriers.back().put(value), "put");
            EXPECT_EQ(read(o.carriers.front()), value) << o.name;
        }
    }
}

TEST_F(MergeOptionsTest, SettingOneOptionChangesNoOther)
{
    for (const option& changed : options) {
        expect_ok(changed.carriers.front().put(2), "put");
        for (const option& other : options) {
            const LONG expected = &other == &changed ? 2 : other.initial;
            EXPECT_EQ(read(other.carriers.front()), expected) << other.name << " after setting " << changed.name;
        }
        expect_ok(changed.carriers.front().put(changed.initial), "put back");
    }
}

TEST_F(MergeOptionsTest, CopyAclOptionOutsideOneAndTwoFailsWith63604ThroughEveryVersion)
{
    const option& acl = named(L"CopyACLOption");
    expect_ok(acl.carriers.front().put(2));
    for (const accessor& a : acl.carriers) {
        for (LONG value : {LONG(0), LONG(3), LONG(-1), LONG(INT_MAX), LONG(INT_MIN)}) {
            expect_ok(host->ClearCalls());
            const failure f = failure_of(a.put(value));
            EXPECT_EQ(f.code, numbered(63604)) << a.interface_name;
            EXPECT_EQ(f.source, L"CMergeOptions");
            EXPECT_NE(f.description.find(std::to_wstring(value)), std::wstring::npos) << f.description;
            const std::wstring text = std::to_wstring(value);
            EXPECT_EQ(calls(*host),
                      (std::vector<std::wstring>{L"HostUtility.DescribeAclOption(" + text + L")",
                                                 L"HostUtility.RaiseError(63604,CMergeOptions,[" + text + L"])"}));
            EXPECT_EQ(read(a), 2) << "the value from before the call stays";
        }
    }
}

TEST_F(MergeOptionsTest, CopyAclOptionAcceptsOneAndTwo)
{
    for (const accessor& a : named(L"CopyACLOption").carriers) {
        for (LONG value : {LONG(2), LONG(1)}) {
            expect_ok(a.put(value));
            EXPECT_EQ(read(a), value);
        }
    }
    EXPECT_EQ(call_count(*host, L"HostUtility.RaiseError"), 0);
}

TEST_F(MergeOptionsTest, RejectedCopyAclOptionIsNotStoredWhenTheRaiseReturns)
{
    expect_ok(host->put_RaiseErrorSucceeds(VARIANT_TRUE));
    const accessor& v1 = named(L"CopyACLOption").carriers.front();
    expect_ok(host->ClearTrace());
    expect_ok(v1.put(3));
    EXPECT_EQ(trace_lines(*host), (std::vector<std::wstring>{L"Enter CMergeOptions IKSQMergeOptions_CopyACLOption",
                                                             L"Leave CMergeOptions IKSQMergeOptions_CopyACLOption"}));
    EXPECT_EQ(read(v1), 1);
}

TEST_F(MergeOptionsTest, ForwardedGetNestsTheOwningMembersTraceLines)
{
    LONG value = 0;
    expect_ok(record.try_as<IKSQMergeOptions4>()->get_ResolutionMethod(&value));
    EXPECT_EQ(trace_lines(*host), (std::vector<std::wstring>{
                                      L"Enter CMergeOptions IKSQMergeOptions4_ResolutionMethod",
                                      L"Enter CMergeOptions IKSQMergeOptions2_ResolutionMethod",
                                      L"Leave CMergeOptions IKSQMergeOptions2_ResolutionMethod",
                                      L"Leave CMergeOptions IKSQMergeOptions4_ResolutionMethod",
                                  }));
    expect_ok(host->ClearTrace());
    expect_ok(record.try_as<IKSQMergeOptions2>()->get_ResolutionMethod(&value));
    EXPECT_EQ(trace_lines(*host), (std::vector<std::wstring>{
                                      L"Enter CMergeOptions IKSQMergeOptions2_ResolutionMethod",
                                      L"Leave CMergeOptions IKSQMergeOptions2_ResolutionMethod",
                                  }));
}

TEST_F(MergeOptionsTest, ForwardingIsOneStepDeep)
{
    expect_ok(record.try_as<IKSQMergeOptions5>()->put_MapSchemaObjectsSetting(4));
    EXPECT_EQ(trace_lines(*host), (std::vector<std::wstring>{
                                      L"Enter CMergeOptions IKSQMergeOptions5_MapSchemaObjectsSetting",
                                      L"Enter CMergeOptions IKSQMergeOptions3_MapSchemaObjectsSetting",
                                      L"Leave CMergeOptions IKSQMergeOptions3_MapSchemaObjectsSetting",
                                      L"Leave CMergeOptions IKSQMergeOptions5_MapSchemaObjectsSetting",
                                  }));
}

TEST_F(MergeOptionsTest, FailedForwardedPutLeavesBothEnterLinesAndNoLeave)
{
    const failure f = failure_of(record.try_as<IKSQMergeOptions3>()->put_CopyACLOption(0));
    EXPECT_EQ(f.code, numbered(63604));
    EXPECT_EQ(f.source, L"CMergeOptions");
    EXPECT_EQ(trace_lines(*host), (std::vector<std::wstring>{
                                      L"Enter CMergeOptions IKSQMergeOptions3_CopyACLOption",
                                      L"Enter CMergeOptions IKSQMergeOptions_CopyACLOption",
                                  }));
}

TEST_F(MergeOptionsTest, NullOutParameterIsRefused)
{
    EXPECT_EQ(record.try_as<IKSQMergeOptions5>()->get_TVOnOffMergeOptions(nullptr), E_POINTER);
    EXPECT_EQ(record.try_as<IKSQMergeOptions5>()->get_CopyACLOption(nullptr), E_POINTER);
}

} // namespace
