// CLogSetting, CLogSettings and CLogSettingsIterator as the host uses them.
#include "support/com_testing.h"
#include "support/sim_host.h"

#include <K1MrgRls.h>

#include <climits>

using namespace testing_support;

namespace {

class LogSettingsTest : public SimHostTest {
protected:
    void SetUp() override
    {
        SimHostTest::SetUp();
        settings = create<IKSQLogSettings>(CLSID_CLogSettings);
    }

    com::com_ptr<IKSQLogSetting> setting(const std::wstring& file, LONG level = 0)
    {
        auto s = create<IKSQLogSetting>(CLSID_CLogSetting);
        expect_ok(s->put_LogFile(com::bstr(file).get()));
        expect_ok(s->put_LogLevel(level));
        return s;
    }

    com::com_ptr<IKSQLogSettingsIterator> iterator()
    {
        com::com_ptr<IKSQLogSettingsIterator> it;
        expect_ok(settings->CreateIterator(it.put()));
        return it;
    }

    // Walks a fresh iterator to its end.
    std::vector<com::com_ptr<IKSQLogSetting>> walk()
    {
        std::vector<com::com_ptr<IKSQLogSetting>> result;
        auto it = iterator();
        for (;;) {
            com::com_ptr<IKSQLogSetting> next;
            expect_ok(it->Next(next.put()));
            if (!next) return result;
            result.push_back(next);
        }
    }

    static std::wstring file_of(IKSQLogSetting* s)
    {
        com::bstr file;
        expect_ok(s->get_LogFile(file.put()));
        return file.str();
    }

    com::com_ptr<IKSQLogSettings> settings;
};

TEST_F(LogSettingsTest, NewCollectionYieldsNothingRepeatedly)
{
    auto it = iterator();
    for (int i = 0; i < 3; ++i) {
        VARIANT_BOOL more = VARIANT_TRUE;
        expect_ok(it->HasNext(&more));
        EXPECT_EQ(more, VARIANT_FALSE);
        com::com_ptr<IKSQLogSetting> next;
        expect_ok(it->Next(next.put()));
        EXPECT_FALSE(next);
    }
}

TEST_F(LogSettingsTest, SettingsComeBackInOrderAsTheVeryObjectsAdded)
{
    auto a = setting(L"a.log"), b = setting(L"b.log"), upper_a = setting(L"A.log");
    for (auto& s : {a, b, upper_a})
        expect_ok(settings->Add(s.get()));
    const auto walked = walk();
    ASSERT_EQ(walked.size(), 3u);
    EXPECT_EQ(walked[0].get(), a.get());
    EXPECT_EQ(walked[1].get(), b.get());
    EXPECT_EQ(walked[2].get(), upper_a.get());
}

TEST_F(LogSettingsTest, DuplicateNameFailsWith63609AndAddsNothing)
{
    expect_ok(settings->Add(setting(L"a.log").get()));
    expect_ok(host->ClearCalls());
    const failure f = failure_of(settings->Add(setting(L"a.log", 5).get()));
    EXPECT_EQ(f.code, numbered(63609));
    EXPECT_EQ(f.source, L"CLogSettings");
    EXPECT_NE(f.description.find(L"a.log"), std::wstring::npos) << f.description;
    EXPECT_EQ(calls(*host), (std::vector<std::wstring>{L"HostUtility.RaiseError(63609,CLogSettings,[a.log])"}));
    EXPECT_EQ(walk().size(), 1u);
}

TEST_F(LogSettingsTest, EmptyNameFailsWith63610WithAnEmptyArgumentList)
{
    expect_ok(host->ClearCalls());
    const failure f = failure_of(settings->Add(setting(L"").get()));
    EXPECT_EQ(f.code, numbered(63610));
    EXPECT_EQ(f.source, L"CLogSettings");
    EXPECT_EQ(calls(*host), (std::vector<std::wstring>{L"HostUtility.RaiseError(63610,CLogSettings,[])"}));
    EXPECT_TRUE(walk().empty());
    expect_ok(settings->Add(setting(L" ").get()));
    EXPECT_EQ(walk().size(), 1u);
}

TEST_F(LogSettingsTest, NamesAreComparedExactly)
{
    for (const wchar_t* name : {L"x.log", L"X.log", L"x.log ", L" x.log"})
        expect_ok(settings->Add(setting(name).get()));
    const std::wstring with_nul(L"x\0y", 3);
    expect_ok(settings->Add(setting(with_nul).get()));
    expect_ok(settings->Add(setting(L"x").get()));
    const auto walked = walk();
    ASSERT_EQ(walked.size(), 6u);
    EXPECT_EQ(file_of(walked[4].get()), with_nul);
}

TEST_F(LogSettingsTest, RenamedSettingKeepsItsOldKey)
{
    auto s = setting(L"old.log");
    expect_ok(settings->Add(s.get()));
    expect_ok(s->put_LogFile(com::bstr(L"new.log").get()));
    EXPECT_EQ(failure_of(settings->Add(setting(L"old.log").get())).code, numbered(63609));
    expect_ok(settings->Add(setting(L"new.log").get()));
    const auto walked = walk();
    ASSERT_EQ(walked.size(), 2u);
    EXPECT_EQ(walked[0].get(), s.get());
    EXPECT_EQ(file_of(walked[0].get()), L"new.log");
    EXPECT_EQ(file_of(walked[1].get()), L"new.log");
}

TEST_F(LogSettingsTest, SameObjectCanBeAddedAgainUnderANewName)
{
    auto s = setting(L"one.log");
    expect_ok(settings->Add(s.get()));
    expect_ok(s->put_LogFile(com::bstr(L"two.log").get()));
    expect_ok(settings->Add(s.get()));
    const auto walked = walk();
    ASSERT_EQ(walked.size(), 2u);
    EXPECT_EQ(walked[0].get(), walked[1].get());
}

TEST_F(LogSettingsTest, SettingStoresAnyLevelAndText)
{
    auto s = create<IKSQLogSetting>(CLSID_CLogSetting);
    LONG level = -1;
    expect_ok(s->get_LogLevel(&level));
    EXPECT_EQ(level, 0);
    EXPECT_EQ(file_of(s.get()), L"");
    for (LONG value : {LONG(INT_MIN), LONG(-1), LONG(INT_MAX)}) {
        expect_ok(s->put_LogLevel(value));
        expect_ok(s->get_LogLevel(&level));
        EXPECT_EQ(level, value);
    }
    const wchar_t raw[] = L"C:\\logs\\\x00e9t\x00e9\0.log  ";
    const std::wstring text(raw, std::size(raw) - 1);
    expect_ok(s->put_LogFile(com::bstr(text).get()));
    EXPECT_EQ(file_of(s.get()), text);
    expect_ok(s->put_LogFile(nullptr));
    EXPECT_EQ(file_of(s.get()), L"");
}

TEST_F(LogSettingsTest, NullSettingFailsWithEPointerAndAddsNothing)
{
    EXPECT_EQ(settings->Add(nullptr), E_POINTER);
    EXPECT_TRUE(walk().empty());
}

TEST_F(LogSettingsTest, IteratorMadeBeforeAnAddFailsBeyondItsSnapshot)
{
    expect_ok(settings->Add(setting(L"a.log").get()));
    auto early = iterator();
    com::com_ptr<IKSQLogSetting> next;
    expect_ok(early->Next(next.put()));
    EXPECT_TRUE(next);
    expect_ok(settings->Add(setting(L"b.log").get()));
    expect_ok(settings->Add(setting(L"c.log").get()));

    VARIANT_BOOL more = VARIANT_FALSE;
    expect_ok(early->HasNext(&more));
    EXPECT_EQ(more, VARIANT_TRUE);
    for (int i = 0; i < 2; ++i) {
        const failure f = failure_of(early->Next(next.put()));
        EXPECT_EQ(f.code, numbered(9));
        EXPECT_EQ(f.source, L"CLogSettingsIterator");
        EXPECT_EQ(f.description, L"Subscript out of range");
        EXPECT_FALSE(next);
    }
    // The position has reached the live count less one: the walk is over.
    expect_ok(early->HasNext(&more));
    EXPECT_EQ(more, VARIANT_FALSE);
    expect_ok(early->Next(next.put()));
    EXPECT_FALSE(next);

    const auto walked = walk();
    ASSERT_EQ(walked.size(), 3u);
    EXPECT_EQ(file_of(walked[2].get()), L"c.log");
}

TEST_F(LogSettingsTest, NextNestsItsHasNextAndTheModuleTest)
{
    expect_ok(settings->Add(setting(L"a.log").get()));
    auto it = iterator();
    expect_ok(host->ClearTrace());
    com::com_ptr<IKSQLogSetting> next;
    expect_ok(it->Next(next.put()));
    EXPECT_EQ(trace_lines(*host), (std::vector<std::wstring>{
                                      L"Enter CLogSettingsIterator IKSQLogSettingsIterator_Next",
                                      L"Enter CLogSettingsIterator IKSQLogSettingsIterator_HasNext",
                                      L"Enter modCommonFunctions HasNext",
                                      L"Leave modCommonFunctions HasNext",
                                      L"Leave CLogSettingsIterator IKSQLogSettingsIterator_HasNext",
                                      L"Leave CLogSettingsIterator IKSQLogSettingsIterator_Next",
                                  }));
}

TEST_F(LogSettingsTest, AddAndCreateIteratorTraceTheirSteps)
{
    auto s = setting(L"a.log");
    expect_ok(host->ClearTrace());
    expect_ok(settings->Add(s.get()));
    com::com_ptr<IKSQLogSettingsIterator> it;
    expect_ok(settings->CreateIterator(it.put()));
    EXPECT_EQ(trace_lines(*host), (std::vector<std::wstring>{
                                      L"Enter CLogSettings IKSQLogSettings_Add",
                                      L"Enter CLogSetting IKSQLogSetting_LogFile",
                                      L"Leave CLogSetting IKSQLogSetting_LogFile",
                                      L"Leave CLogSettings IKSQLogSettings_Add",
                                      L"Enter CLogSettings IKSQLogSettings_CreateIterator",
                                      L"Enter CLogSettingsIterator Initialize",
                                      L"Leave CLogSettingsIterator Initialize",
                                      L"Leave CLogSettings IKSQLogSettings_CreateIterator",
                                  }));
}

TEST_F(LogSettingsTest, CollectionCreationTracesClassInitialize)
{
    expect_ok(host->ClearTrace());
    auto second = create<IKSQLogSettings>(CLSID_CLogSettings);
    EXPECT_EQ(trace_lines(*host), (std::vector<std::wstring>{L"Enter CLogSettings Class_Initialize",
                                                             L"Leave CLogSettings Class_Initialize"}));
}

} // namespace
