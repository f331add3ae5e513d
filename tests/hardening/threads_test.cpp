// Two single-threaded apartments using the component at once: each has its own
// host services and its own objects; only the module's object count is shared.
// A thread may end while the component stays loaded for the others.
#include "support/com_testing.h"
#include "support/sim_host.h"

#include <K1MrgRls.h>

#include "com/bstr.h"

#include <functional>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

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
        expect_ok(host.AddObject(com::bstr(id).get(), 100 * category, 0, com::bstr(L"\\" + id).get(), object.put()));
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

class ThreadsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = sim_host();
        expect_ok(host->Reset());
        expect_ok(host->ClearObjects());
        expect_ok(host->get_LiveObjects(&baseline));
    }
    void TearDown() override
    {
        expect_ok(host->ClearObjects());
        expect_ok(host->Reset());
    }
    long live()
    {
        long count = -1;
        expect_ok(host->get_LiveObjects(&count));
        return count;
    }

    com::com_ptr<ISimHostControl> host;
    long baseline = 0;
};

TEST_F(ThreadsTest, TwoApartmentsAtOnceEachWithItsOwnServices)
{
    meeting started(2), checked(2);
    DWORD threads[2] = {};
    auto apartment = [&](int index) {
        on_own_apartment([&] {
            threads[index] = ::GetCurrentThreadId();
            auto own_host = sim_host();
            apartment_use use{index + 1, 40 + index, nullptr, nullptr, nullptr, nullptr};
            use.start(*own_host);
            EXPECT_TRUE(started.arrive_and_wait()) << "the other apartment did not start";
            // Both apartments hold objects now.
            EXPECT_EQ(component_can_unload_now(), S_FALSE);
            use.check(*own_host, threads[index]);
            EXPECT_TRUE(checked.arrive_and_wait()) << "the other apartment did not finish its checks";
            use.stop();
        });
    };
    std::thread first(apartment, 0), second(apartment, 1);
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
    com::com_ptr<HostObject> worker_object; // the repository's, made before counting
    expect_ok(host->AddObject(com::bstr(L"thread-object-2").get(), 200, 0, com::bstr(L"\\thread-object-2").get(),
                              worker_object.put()));
    worker_object.reset();
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

} // namespace
