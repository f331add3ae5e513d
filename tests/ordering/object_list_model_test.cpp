// Long random runs of changes and walks on one object list with several
// iterators, each result checked against a plain model: an iterator has passed
// a prefix of the list; removing a passed object shortens the prefix, and Next
// returns the first object it has not passed.
#include "ordering_fixture.h"

#include "com/bstr.h"

#include <algorithm>
#include <random>

using namespace testing_support;
using namespace ordering_testing;

namespace {

struct model_iterator {
    com::com_ptr<IKSQObjectIterator> iterator;
    std::size_t passed = 0;
};

class ObjectListModelTest : public OrderingTest {
protected:
    void run(unsigned seed, int steps)
    {
        std::mt19937 random(seed);
        auto pick = [&](std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random); };
        const ids pool = {L"A", L"B", L"C", L"D", L"E", L"F", L"G", L"H"};
        auto objects = new_list();
        ids model;
        std::vector<model_iterator> walkers;
        // Unregistered iterators: what they return is not settled, but using
        // them must not break anything.
        std::vector<com::com_ptr<IKSQObjectIterator>> dropped;

        for (int step = 0; step < steps; ++step) {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", step " + std::to_string(step));
            switch (pick(10)) {
            case 0:
            case 1:
            case 2: {
                const std::wstring& id = pool[pick(pool.size())];
                expect_ok(objects->Add(object(id).get()));
                if (std::find(model.begin(), model.end(), id) == model.end()) model.push_back(id);
                break;
            }
            case 3:
            case 4: {
                const std::wstring& id = pool[pick(pool.size())];
                // By ID or by the object itself.
                argument by_id(id.c_str()), by_object(object(id).get());
                expect_ok(objects->Remove(pick(2) ? by_id.get() : by_object.get()));
                auto found = std::find(model.begin(), model.end(), id);
                if (found == model.end()) break;
                const std::size_t index = static_cast<std::size_t>(found - model.begin());
                model.erase(found);
                for (model_iterator& w : walkers)
                    if (index < w.passed) --w.passed;
                break;
            }
            case 5:
            case 6:
            case 7: {
                if (walkers.empty()) break;
                model_iterator& w = walkers[pick(walkers.size())];
                ASSERT_EQ(has_next(*w.iterator), w.passed < model.size());
                const std::wstring expected = w.passed < model.size() ? model[w.passed++] : L"-";
                ASSERT_EQ(next_id(*w.iterator), expected);
                break;
            }
            case 8:
                if (walkers.size() < 5) walkers.push_back({iterator(*objects), 0});
                break;
            case 9: {
                if (walkers.empty()) break;
                const std::size_t index = pick(walkers.size());
                expect_ok(objects->RemoveIterator(walkers[index].iterator.get()));
                dropped.push_back(walkers[index].iterator);
                walkers.erase(walkers.begin() + static_cast<std::ptrdiff_t>(index));
                break;
            }
            }
            ASSERT_EQ(count(*objects), static_cast<long>(model.size()));
            if (!dropped.empty() && pick(4) == 0) {
                com::com_ptr<HostObject> ignored;
                dropped[pick(dropped.size())]->Next(ignored.put());
            }
        }
        EXPECT_EQ(ids_of(*objects), model);
    }
};

TEST_F(ObjectListModelTest, RandomChangesAndWalksMatchTheModel)
{
    expect_ok(host->put_TraceMode(1));
    for (unsigned seed = 1; seed <= 6; ++seed)
        run(seed, 1500);
}

} // namespace
