// Whatever runs during the sort's yields may change the lists being sorted: the
// sort then ends or fails, but neither crashes nor leaks.
#include "ordering_fixture.h"

#include "ordering/message_pump.h"
#include "ordering/sort_application_by_levels.h"

#include "com/module.h"

#include <random>

using namespace testing_support;
using namespace ordering_testing;

namespace {

class LevelSortYieldTest : public OrderingTest {
protected:
    static std::vector<com::com_ptr<IKSQObjectList>> levels_in(IKSQLevelList& levels)
    {
        std::vector<com::com_ptr<IKSQObjectList>> result;
        com::com_ptr<IKSQLevelIterator> walker;
        if (FAILED(levels.CreateLevelIterator(walker.put()))) return result;
        for (com::com_ptr<IKSQObjectList> level; SUCCEEDED(walker->Next(level.put())) && level;)
            result.push_back(level);
        levels.RemoveIterator(walker.get());
        return result;
    }

    static HRESULT sort(IKSQLevelList& levels)
    {
        argument holder(&levels);
        auto sorter = com::as_interface<IKSQSortApplicationObjects>(com::make<ordering::CSortApplicationByLevels>());
        return sorter->Sort(holder.get());
    }
};

TEST_F(LevelSortYieldTest, ChangesMadeDuringYieldsNeitherCrashNorLeak)
{
    expect_ok(host->put_TraceMode(1));
    const ids pool = {L"A", L"B", L"C", L"D", L"E", L"F", L"G", L"H"};
    std::mt19937 random(7);
    auto pick = [&](std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random); };
    // Relations that point forward in the pool, and some objects related to
    // themselves: the sorts end by themselves.
    for (std::size_t i = 0; i < pool.size(); ++i) {
        object(pool[i]);
        for (std::size_t j = i; j < pool.size(); ++j)
            if (pick(4) == 0) relate(pool[i], pool[j]);
    }
    LONG live_before = 0;
    expect_ok(host->get_LiveObjects(&live_before));

    int ended = 0, failed = 0;
    for (int run = 0; run < 30; ++run) {
        auto levels = levels_of({pool});
        int yields = 0;
        bool nested = false;
        ordering::scoped_yield_hook meddling([&] {
            if (++yields > 300 || nested || pick(3) != 0) return;
            const auto all = levels_in(*levels);
            if (all.empty()) return;
            IKSQObjectList& level = *all[pick(all.size())];
            const std::size_t choice = pick(14);
            if (choice < 7) {
                level.Add(object(pool[pick(pool.size())]).get());
            } else if (choice < 9) {
                argument key(pool[pick(pool.size())].c_str());
                level.Remove(key.get());
            } else if (choice == 9) {
                if (all.size() < 6) levels->Add(list({pool[pick(pool.size())]}).get());
            } else if (choice == 10) {
                levels->Add(&level); // a level again: the iterators are told once more
            } else if (choice == 11) {
                levels->RemoveAllIterators(); // the sort's walks lose track of the list
            } else if (choice == 12) {
                level.RemoveAllIterators();
            } else {
                nested = true;
                sort(*levels);
                nested = false;
            }
        });
        const HRESULT hr = sort(*levels);
        SUCCEEDED(hr) ? ++ended : ++failed;
    }
    // Both outcomes occur, or the meddling above tests too little.
    EXPECT_GT(ended, 0);
    EXPECT_GT(failed, 0);
    EXPECT_EQ(com::module::thread_object_count(), 0);
    LONG live_after = 0;
    expect_ok(host->get_LiveObjects(&live_after));
    EXPECT_EQ(live_after, live_before);
}

} // namespace
