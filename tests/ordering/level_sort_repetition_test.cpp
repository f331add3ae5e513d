// The level sort's end of endless passes: it stops where they start to repeat,
// and never changes a sort that ends by itself.
#include "ordering_fixture.h"

#include "ordering/level_sort.h"

#include <algorithm>
#include <random>
#include <utility>

using namespace testing_support;
using namespace ordering_testing;

namespace {

using ordering::repetition_check;
using ordering::sort_end;
using relations = std::vector<std::pair<std::wstring, std::wstring>>;

struct sorted_levels {
    level_ids levels;
    sort_end end;
};

class LevelSortRepetitionTest : public OrderingTest {
protected:
    sorted_levels sorted(const level_ids& start, const relations& related, repetition_check check)
    {
        expect_ok(host->ClearObjects());
        for (const auto& [from, to] : related)
            relate(from, to);
        auto levels = levels_of(start);
        const sort_end end = ordering::level_sort(levels, check).run();
        return {contents_of(*levels), end};
    }

    static relations clique(const ids& all)
    {
        relations everything;
        for (const auto& from : all)
            for (const auto& to : all)
                everything.emplace_back(from, to);
        return everything;
    }
};

ids all_objects(const level_ids& levels)
{
    ids result;
    for (const ids& level : levels)
        result.insert(result.end(), level.begin(), level.end());
    std::sort(result.begin(), result.end());
    return result;
}

TEST_F(LevelSortRepetitionTest, AnEndlessCycleStopsWhereItsPassesRepeat)
{
    // Each pass moves A and B into a new level; the mover table alternates
    // between A and B as the movers, so the state after the third walk is the
    // state after the first.
    const auto two = sorted({{L"A", L"B"}}, clique({L"A", L"B"}), repetition_check::on);
    EXPECT_EQ(two.end, sort_end::repeated);
    EXPECT_EQ(two.levels, (level_ids{{}, {}, {}, {L"A", L"B"}}));

    // The same three-object clique that the bound stops after 18 levels.
    const ids three = {L"A", L"B", L"C"};
    const auto bounded = sorted({three}, clique(three), repetition_check::off);
    EXPECT_EQ(bounded.end, sort_end::bounded);
    level_ids at_bound(17);
    at_bound.push_back(three);
    EXPECT_EQ(bounded.levels, at_bound);
    const auto repeated = sorted({three}, clique(three), repetition_check::on);
    EXPECT_EQ(repeated.end, sort_end::repeated);
    EXPECT_LT(repeated.levels.size(), 8u);
    EXPECT_EQ(repeated.levels.back(), three);
}

TEST_F(LevelSortRepetitionTest, ALargeCliqueEndsAfterAFewPasses)
{
    ids all;
    for (int i = 0; i < 32; ++i)
        all.push_back(L"O" + std::to_wstring(i));
    const auto result = sorted({all}, clique(all), repetition_check::on);
    EXPECT_EQ(result.end, sort_end::repeated);
    EXPECT_LT(result.levels.size(), 8u);
    EXPECT_EQ(all_objects(result.levels), all_objects({all}));
}

TEST_F(LevelSortRepetitionTest, EmptyLevelsOnTheWayAreNoRepetition)
{
    // Walks of empty levels change nothing; they must not count as a state seen
    // twice. A single object related to itself ends after one move.
    const auto result = sorted({{}, {}, {L"A"}, {}, {}}, {{L"A", L"A"}}, repetition_check::on);
    EXPECT_EQ(result.end, sort_end::finished);
    EXPECT_EQ(result.levels, (level_ids{{}, {}, {}, {}, {}, {L"A"}}));
}

// Random relations among up to five objects, in one or two starting levels,
// with the related objects in a random order; some objects are in no level.
// Every sort that ends by itself gives the levels it gave without the watch;
// every sort the watch stops is one that the bound stops without it, and keeps
// all its objects.
TEST_F(LevelSortRepetitionTest, RandomRelationsEndAsBeforeUnlessTheyNeverEnd)
{
    std::mt19937 random(20240611);
    int finished = 0, finished_mutual = 0, repeated = 0;
    for (int round = 0; round < 300; ++round) {
        const int count = 1 + static_cast<int>(random() % 5);
        ids names;
        for (int i = 0; i < count; ++i)
            names.push_back(std::wstring(1, static_cast<wchar_t>(L'A' + i)));
        const unsigned density = 15 + random() % 60;
        relations related;
        for (const auto& from : names)
            for (const auto& to : names)
                if (random() % 100 < density) related.emplace_back(from, to);
        std::shuffle(related.begin(), related.end(), random);
        ids placed = names;
        std::shuffle(placed.begin(), placed.end(), random);
        if (count > 1 && random() % 4 == 0) placed.pop_back();
        const std::size_t split = random() % 2 == 0 ? placed.size() : random() % (placed.size() + 1);
        const level_ids start = split == placed.size()
                                    ? level_ids{placed}
                                    : level_ids{ids(placed.begin(), placed.begin() + static_cast<long>(split)),
                                                ids(placed.begin() + static_cast<long>(split), placed.end())};

        const auto before = sorted(start, related, repetition_check::off);
        const auto now = sorted(start, related, repetition_check::on);
        const bool mutual = std::any_of(related.begin(), related.end(), [&](const auto& r) {
            return std::any_of(related.begin(), related.end(),
                               [&](const auto& back) { return back.first == r.second && back.second == r.first; });
        });
        if (before.end == sort_end::finished) {
            ++finished;
            if (mutual) ++finished_mutual;
            ASSERT_EQ(now.end, sort_end::finished) << "round " << round;
            ASSERT_EQ(now.levels, before.levels) << "round " << round;
        } else {
            ASSERT_NE(now.end, sort_end::finished) << "round " << round;
            if (now.end == sort_end::repeated) ++repeated;
            ASSERT_LE(now.levels.size(), before.levels.size()) << "round " << round;
            ASSERT_EQ(all_objects(now.levels), all_objects(start)) << "round " << round;
        }
    }
    // The relations drawn cover both kinds, and objects that name each other or
    // themselves yet end by themselves.
    EXPECT_GT(finished_mutual, 20);
    EXPECT_GT(repeated, 20);
    EXPECT_EQ(finished + repeated, 300) << "every endless sort ends by repetition, before the bound";
}

} // namespace
