// Two single-threaded apartments using the component at once: each has its own
// host services and its own objects; only the module's object count is shared.
// A thread may end while the component stays loaded for the others.
#include "support/com_testing.h"
#include "support/sim_host.h"

#include <K1MrgRls.h>

#include "com/bstr.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

using namespace testing_support;

namespace {

const wchar_t* const services[] = {L"TraceService", L"MessagingService", L"EnvironmentService", L"HostUtility",
                                   L"TypeNameService"};

long instances(ISimHostControl& host, const wchar_t* service, DWORD thread)
{
    long count = -1;
    expect_ok(host.InstanceCount(com::bstr(service).get(), static_cast<long>(thread), &count), "InstanceCount");
    return count;
}

// Both apartments wait here for each other; a wait that does not end in time
// fails the test instead of hanging it.
class meeting {
public:
    explicit meeting(int parties) : waiting_(parties) {}
    bool arrive_and_wait()
    {
        std::unique_lock lock(mutex_);
        if (--waiting_ == 0) arrived_.notify_all();
        return arrived_.wait_for(lock, std::chrono::seconds(20), [&] { return waiting_ <= 0; });
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    int waiting_;
};

// The test's own thread is a single-threaded apartment as well. While it waits
// for others it lets COM deliver calls and messages to it, as a blocked
// apartment must: anything an apartment thread needs from it (an object made in
// the main apartment, a sent message) would otherwise wait forever. Waiting is
// bounded too: an apartment that does not end is named with the step it reached
// and the program stops there, with that evidence, instead of hanging.
class apartment_watch {
public:
    explicit apartment_watch(std::size_t count) : ended_(count), steps_(count)
    {
        for (HANDLE& event : ended_)
            event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        for (std::atomic<const char*>& step : steps_)
            step = "not started";
    }
    ~apartment_watch()
    {
        for (HANDLE event : ended_)
            ::CloseHandle(event);
    }
    apartment_watch(const apartment_watch&) = delete;
    apartment_watch& operator=(const apartment_watch&) = delete;

    void reached(std::size_t index, const char* step) { steps_[index] = step; }
    void ended(std::size_t index)
    {
        reached(index, "ended");
        ::SetEvent(ended_[index]);
    }

    void wait_for_all(std::chrono::seconds limit)
    {
        const auto until = std::chrono::steady_clock::now() + limit;
        for (HANDLE event : ended_) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
            DWORD index = 0;
            if (::CoWaitForMultipleHandles(0, static_cast<DWORD>(std::max<long long>(left.count(), 0)), 1, &event,
                                           &index) != S_OK)
                stop_with_steps();
        }
    }

private:
    [[noreturn]] void stop_with_steps() const
    {
        std::fprintf(stderr, "An apartment did not end in time; steps reached:");
        for (std::size_t i = 0; i < steps_.size(); ++i)
            std::fprintf(stderr, " [%zu] %s", i, steps_[i].load());
        std::fprintf(stderr, "\n");
        std::fflush(stderr);
        std::abort();
    }

    std::vector<HANDLE> ended_;
    std::vector<std::atomic<const char*>> steps_;
};

// Runs `work` on a new single-threaded apartment and waits for it to end.
void on_own_apartment(const std::function<void()>& work)
{
    std::thread thread([&] {
        ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        work();
        ::CoUninitialize();
    });
    thread.join();
}

// One apartment's use of the component: a store with a category rule of its own,
// its duplicate (which needs the thread's HostUtility) and a type rule duplicate
// (its TypeNameService).
struct apartment_use {
    LONG category;
    LONG action;
    com::com_ptr<IKSQMergeRules> rules;
    com::com_ptr<IKSQMergeOptions5> options;
    com::com_ptr<IKSQLogSettings> settings;
    com::com_ptr<HostObject> object;

    void start(ISimHostControl& host)
    {
        rules = create<IKSQMergeRules>(CLSID_CMergeRules);
        options = create<IKSQMergeOptions5>(CLSID_CMergeOptions);
        settings = create<IKSQLogSettings>(CLSID_CLogSettings);
        expect_ok(rules->SetCategoryRule(category, action));
        EXPECT_EQ(rules->SetCategoryRule(category, action + 1), numbered(63600));
        expect_ok(rules->SetTypeRule(7, 1));
        EXPECT_EQ(rules->SetTypeRule(7, 1), numbered(63601));
        expect_ok(options->put_CopyACLOption(category));
        const std::wstring id = L"thread-object-" + std::to_wstring(category);
        // Types 100 and 200 have categories 1 and 2.
        object = top_level_object(host, id, 100 * category);
    }

    void check(ISimHostControl& host, DWORD thread) const
    {
        for (const wchar_t* service : services)
            EXPECT_EQ(instances(host, service, thread), 1) << std::string(service, service + wcslen(service));
        LONG found = 0;
        expect_ok(rules->FindAction(object.get(), &found));
        EXPECT_EQ(found, action);
        LONG acl = 0;
        expect_ok(options->get_CopyACLOption(&acl));
        EXPECT_EQ(acl, category);
        // Only this apartment's rule is in this store.
        com::com_ptr<IKSQCategoryRuleIterator> iterator;
        expect_ok(rules->CreateCategoryRuleIterator(iterator.put()));
        com::com_ptr<IKSQCategoryRule> rule;
        expect_ok(iterator->Next(rule.put()));
        ASSERT_TRUE(rule);
        LONG stored = 0;
        expect_ok(rule->get_CategoryType(&stored));
        EXPECT_EQ(stored, category);
        expect_ok(iterator->Next(rule.put()));
        EXPECT_FALSE(rule);
    }

    void stop()
    {
        rules.reset();
        options.reset();
        settings.reset();
        object.reset();
    }
};

class ThreadsTest : public SimHostTest {
protected:
    void SetUp() override
    {
        SimHostTest::SetUp();
        expect_ok(host->get_LiveObjects(&baseline));
    }
    long live()
    {
        long count = -1;
        expect_ok(host->get_LiveObjects(&count));
        return count;
    }

    long baseline = 0;
};

TEST_F(ThreadsTest, TwoApartmentsAtOnceEachWithItsOwnServices)
{
    meeting started(2), checked(2);
    apartment_watch watch(2);
    DWORD threads[2] = {};
    auto apartment = [&](int index) {
        const auto i = static_cast<std::size_t>(index);
        on_own_apartment([&] {
            threads[index] = ::GetCurrentThreadId();
            watch.reached(i, "entered its apartment");
            auto own_host = sim_host();
            apartment_use use{index + 1, 40 + index, nullptr, nullptr, nullptr, nullptr};
            use.start(*own_host);
            watch.reached(i, "started");
            EXPECT_TRUE(started.arrive_and_wait()) << "the other apartment did not start";
            // Both apartments hold objects now.
            EXPECT_EQ(component_can_unload_now(), S_FALSE);
            use.check(*own_host, threads[index]);
            watch.reached(i, "checked");
            EXPECT_TRUE(checked.arrive_and_wait()) << "the other apartment did not finish its checks";
            use.stop();
            watch.reached(i, "stopped, leaving its apartment");
        });
        watch.ended(i);
    };
    std::thread first(apartment, 0), second(apartment, 1);
    watch.wait_for_all(std::chrono::seconds(120));
    first.join();
    second.join();
    ASSERT_NE(threads[0], threads[1]);
    for (const wchar_t* service : services)
        EXPECT_EQ(instances(*host, service, 0), 2) << "one per apartment";
    expect_ok(host->ClearObjects());
    EXPECT_EQ(live(), baseline) << "each apartment's services went with its last object";
    EXPECT_EQ(component_can_unload_now(), S_OK);
}

TEST_F(ThreadsTest, AThreadEndsWhileTheComponentStaysLoaded)
{
    apartment_use main_use{1, 21, nullptr, nullptr, nullptr, nullptr};
    main_use.start(*host);
    // The worker's host object is the repository's, made before counting.
    top_level_object(*host, L"thread-object-2", 200);
    const long with_main = live();
    const DWORD main_thread = ::GetCurrentThreadId();

    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        on_own_apartment([&] {
            auto own_host = sim_host();
            const long before = instances(*own_host, L"TraceService", 0);
            apartment_use use{2, 30 + round, nullptr, nullptr, nullptr, nullptr};
            use.start(*own_host);
            EXPECT_EQ(instances(*own_host, L"TraceService", 0), before + 1) << "a set-up of its own";
            LONG found = 0;
            expect_ok(use.rules->FindAction(use.object.get(), &found));
            EXPECT_EQ(found, 30 + round);
            use.stop();
        });
        EXPECT_EQ(live(), with_main) << "the ended thread's services are gone";
        EXPECT_EQ(component_can_unload_now(), S_FALSE) << "the main thread's objects live on";
        // The main thread's objects and services are untouched.
        EXPECT_EQ(instances(*host, L"TraceService", main_thread), 1);
        main_use.check(*host, main_thread);
    }
    main_use.stop();
    expect_ok(host->ClearObjects());
    EXPECT_EQ(live(), baseline);
    EXPECT_EQ(component_can_unload_now(), S_OK);
}

// DllCanUnloadNow releases the cached type information whenever no object
// lives, and Wine asks it from every apartment that ends. Here another apartment
// asks it over and over while this one creates objects and calls them late
// bound, which loads the type information again and uses it: a call must keep
// what it got from the cache alive, and loading must not wait on a release.
TEST_F(ThreadsTest, LateBoundCallsWhileAnotherApartmentAsksToUnload)
{
    constexpr int rounds = 150;
    std::atomic<bool> done{false};
    std::atomic<long> unload_answers{0};
    auto caller = [&] {
        on_own_apartment([&] {
            for (int round = 0; round < rounds; ++round) {
                // Wait (briefly) until the cache was released since the last round.
                const long seen = unload_answers.load();
                const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
                while (unload_answers.load() == seen && std::chrono::steady_clock::now() < until)
                    std::this_thread::yield();
                auto options = create<IKSQMergeOptions5>(CLSID_CMergeOptions);
                com::com_ptr<IDispatch> late(static_cast<IDispatch*>(options.get()));
                const DISPID id = dispid_of(*late, L"CopyACLOption");
                VARIANT value;
                value.vt = VT_I4;
                value.lVal = 2;
                DISPID named = DISPID_PROPERTYPUT;
                DISPPARAMS put = {&value, &named, 1, 1};
                expect_ok(late->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr,
                                       nullptr),
                          "Invoke (put)");
                DISPPARAMS none = {};
                VARIANT result;
                ::VariantInit(&result);
                expect_ok(late->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                                       nullptr),
                          "Invoke (get)");
                EXPECT_EQ(result.vt, VT_I4);
                EXPECT_EQ(result.lVal, 2) << "round " << round;
                if (::testing::Test::HasFailure()) break;
            }
        });
        done = true;
    };
    auto asker = [&] {
        on_own_apartment([&] {
            while (!done.load()) {
                if (component_can_unload_now() == S_OK) ++unload_answers;
                std::this_thread::yield();
            }
        });
    };
    std::thread calls(caller), unload_checks(asker);
    calls.join();
    unload_checks.join();
    EXPECT_GT(unload_answers.load(), 0) << "the cache was never released during the calls";
    EXPECT_EQ(component_can_unload_now(), S_OK);
}

} // namespace
