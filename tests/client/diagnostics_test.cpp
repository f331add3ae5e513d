// Per-thread set-up of the host services, tracing failures and the end of a
// thread's use of the component.
#include "support/com_testing.h"
#include "support/sim_host.h"

#include <K1MrgRls.h>

#include <thread>

using namespace testing_support;

namespace {

constexpr HRESULT injected = static_cast<HRESULT>(0x80041234L);

// Runs `work` on a new thread with its own single-threaded apartment.
template <class Work> void on_new_apartment(Work work)
{
    std::thread thread([&] {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        work();
        ::CoUninitialize();
    });
    thread.join();
}

long instances(ISimHostControl& host, const wchar_t* service, DWORD thread)
{
    long count = -1;
    expect_ok(host.InstanceCount(com::bstr(service).get(), static_cast<long>(thread), &count));
    return count;
}

void inject(ISimHostControl& host, const wchar_t* operation, long nth, const wchar_t* description = L"injected")
{
    expect_ok(host.InjectFailure(com::bstr(operation).get(), nth, injected, com::bstr(description).get()));
}

LONG resolution_method(IKSQMergeOptions2* options)
{
    LONG value = -1;
    expect_ok(options->get_ResolutionMethod(&value));
    return value;
}

using DiagnosticsTest = SimHostTest;

TEST_F(DiagnosticsTest, FirstSetUpClassOnAThreadSetsUpInOrder)
{
    expect_ok(host->put_EnvironmentText(com::bstr(L"messages: on").get()));
    on_new_apartment([&] {
        auto options = create<IUnknown>(CLSID_CMergeOptions);
        EXPECT_EQ(calls(*host, true), (std::vector<std::wstring>{
                                          L"EnvironmentService.Create()",
                                          L"EnvironmentService.GetText(0)",
                                          L"TraceService.Create()",
                                          L"TraceService.Activate()",
                                          L"TraceService.BindComponent(K1MrgRls,0)",
                                          L"MessagingService.Create()",
                                          L"MessagingService.Configure(messages: on)",
                                      }));
    });
}

TEST_F(DiagnosticsTest, LaterObjectsOnTheThreadReuseItsServices)
{
    on_new_apartment([&] {
        auto first = create<IUnknown>(CLSID_CMergeOptions);
        expect_ok(host->ClearCalls());
        auto second = create<IUnknown>(CLSID_CMergeOptions);
        auto third = create<IUnknown>(CLSID_CLogSettings);
        EXPECT_TRUE(calls(*host, true).empty());
        EXPECT_EQ(instances(*host, L"TraceService", ::GetCurrentThreadId()), 1);
    });
}

TEST_F(DiagnosticsTest, EachThreadHasItsOwnServices)
{
    DWORD threads[2] = {};
    for (DWORD& thread : threads) {
        on_new_apartment([&] {
            thread = ::GetCurrentThreadId();
            auto a = create<IUnknown>(CLSID_CMergeOptions);
            auto b = create<IUnknown>(CLSID_CLogSettings);
        });
    }
    for (DWORD thread : threads) {
        EXPECT_EQ(instances(*host, L"TraceService", thread), 1);
        EXPECT_EQ(instances(*host, L"MessagingService", thread), 1);
        EXPECT_EQ(instances(*host, L"EnvironmentService", thread), 1);
    }
    EXPECT_EQ(call_count(*host, L"TraceService.BindComponent"), 2);
}

TEST_F(DiagnosticsTest, TwoThreadsAtOnceEachSetUpOnce)
{
    auto other_ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    auto main_done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD other_thread = 0;
    std::thread other([&] {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        {
            other_thread = ::GetCurrentThreadId();
            auto options = create<IUnknown>(CLSID_CMergeOptions);
            ::SetEvent(other_ready);
            ::WaitForSingleObject(main_done, INFINITE);
        }
        ::CoUninitialize();
    });
    ::WaitForSingleObject(other_ready, INFINITE);
    {
        auto options = create<IUnknown>(CLSID_CMergeOptions);
        EXPECT_EQ(instances(*host, L"TraceService", ::GetCurrentThreadId()), 1);
        EXPECT_EQ(instances(*host, L"TraceService", other_thread), 1);
        EXPECT_EQ(instances(*host, L"TraceService", 0), 2);
    }
    ::SetEvent(main_done);
    other.join();
    ::CloseHandle(other_ready);
    ::CloseHandle(main_done);
}

TEST_F(DiagnosticsTest, FailingEnterLineFailsTheOperationBeforeItsWork)
{
    auto options = create<IKSQMergeOptions2>(CLSID_CMergeOptions);
    expect_ok(host->ClearTrace());
    inject(*host, L"TraceService.Trace", 1, L"trace refused");
    const failure f = failure_of(options->put_ResolutionMethod(5));
    EXPECT_EQ(f.code, injected);
    EXPECT_EQ(f.source, L"KSimHost");
    EXPECT_EQ(f.description, L"trace refused");
    EXPECT_TRUE(trace_lines(*host).empty());
    EXPECT_EQ(resolution_method(options.get()), 0);
}

TEST_F(DiagnosticsTest, FailingLeaveLineFailsTheOperationAfterItsWork)
{
    auto options = create<IKSQMergeOptions2>(CLSID_CMergeOptions);
    expect_ok(host->ClearTrace());
    inject(*host, L"TraceService.Trace", 2);
    EXPECT_EQ(failure_of(options->put_ResolutionMethod(5)).code, injected);
    EXPECT_EQ(trace_lines(*host),
              (std::vector<std::wstring>{L"Enter CMergeOptions IKSQMergeOptions2_ResolutionMethod"}));
    EXPECT_EQ(resolution_method(options.get()), 5);
}

TEST_F(DiagnosticsTest, FailingLeaveLineOfAGetHandsOutNothing)
{
    auto setting = create<IKSQLogSetting>(CLSID_CLogSetting);
    expect_ok(setting->put_LogFile(com::bstr(L"a.log").get()));
    inject(*host, L"TraceService.Trace", 2);
    BSTR file = reinterpret_cast<BSTR>(1);
    EXPECT_EQ(setting->get_LogFile(&file), injected);
    EXPECT_EQ(file, nullptr);
}

TEST_F(DiagnosticsTest, FailingTraceDuringCreationFailsTheCreation)
{
    auto keep_thread_set_up = create<IUnknown>(CLSID_CLogSettings);
    inject(*host, L"TraceService.Trace", 1);
    com::com_ptr<IUnknown> options;
    EXPECT_EQ(::CoCreateInstance(CLSID_CMergeOptions, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, options.put_void()),
              injected);
    EXPECT_FALSE(options);
}

TEST_F(DiagnosticsTest, SetUpFailuresAreQuiet)
{
    on_new_apartment([&] {
        inject(*host, L"TraceService.Create", 1);
        inject(*host, L"TraceService.Create", 2);
        auto options = create<IKSQMergeOptions2>(CLSID_CMergeOptions);
        ASSERT_TRUE(options);
        // Without a trace service the component works and its lines are dropped.
        expect_ok(options->put_ResolutionMethod(3));
        EXPECT_EQ(resolution_method(options.get()), 3);
        EXPECT_TRUE(trace_lines(*host).empty());
    });
}

TEST_F(DiagnosticsTest, SetUpStopsAtTheFirstFailingStep)
{
    on_new_apartment([&] {
        inject(*host, L"TraceService.Activate", 1);
        auto options = create<IUnknown>(CLSID_CMergeOptions);
        // The trace service was stored before Activate failed, so it stays and
        // later objects do not set up again; nothing was bound or configured.
        auto more = create<IUnknown>(CLSID_CLogSettings);
        EXPECT_EQ(call_count(*host, L"TraceService.Create"), 1);
        EXPECT_EQ(call_count(*host, L"TraceService.BindComponent"), 0);
        EXPECT_EQ(call_count(*host, L"MessagingService.Create"), 0);
        EXPECT_EQ(trace_lines(*host).size(), 4u);
    });
}

TEST_F(DiagnosticsTest, LogSettingOnAFreshThreadSetsUpOnItsFirstLine)
{
    on_new_apartment([&] {
        auto setting = create<IKSQLogSetting>(CLSID_CLogSetting);
        EXPECT_EQ(call_count(*host, L"TraceService.Create"), 0);
        expect_ok(setting->put_LogLevel(4));
        EXPECT_EQ(instances(*host, L"TraceService", ::GetCurrentThreadId()), 1);
        EXPECT_EQ(call_count(*host, L"TraceService.BindComponent"), 1);
        EXPECT_EQ(trace_lines(*host), (std::vector<std::wstring>{L"Enter CLogSetting IKSQLogSetting_LogLevel",
                                                                 L"Leave CLogSetting IKSQLogSetting_LogLevel"}));
    });
}

TEST_F(DiagnosticsTest, ServicesGoWithTheThreadsLastObjectAndComeBackWithTheNext)
{
    on_new_apartment([&] {
        long live_before = 0;
        expect_ok(host->get_LiveObjects(&live_before));
        {
            auto options = create<IUnknown>(CLSID_CMergeOptions);
        }
        long live_after = 0;
        expect_ok(host->get_LiveObjects(&live_after));
        EXPECT_EQ(live_after, live_before) << "the thread's services are released";
        auto again = create<IUnknown>(CLSID_CMergeOptions);
        EXPECT_EQ(instances(*host, L"TraceService", ::GetCurrentThreadId()), 2);
        EXPECT_EQ(call_count(*host, L"TraceService.BindComponent"), 2);
    });
}

} // namespace
