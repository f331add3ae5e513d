// CSortApplicationByLevels: the levels it produces, its yields, its bound on
// endless cycles, its traces and its failures.
#include "ordering_fixture.h"

#include "ordering/level_sort.h"
#include "ordering/message_pump.h"
#include "ordering/pass_bound.h"
#include "ordering/sort_application_by_levels.h"

#include "com/bstr.h"

#include <limits>
#include <utility>

using namespace testing_support;
using namespace ordering_testing;

namespace {

using relations = std::vector<std::pair<std::wstring, std::wstring>>;

constexpr HRESULT injected = static_cast<HRESULT>(0x80041234L);

class LevelSortTest : public OrderingTest {
protected:
    static com::com_ptr<IKSQSortApplicationObjects> sorter()
    {
        return com::as_interface<IKSQSortApplicationObjects>(com::make<ordering::CSortApplicationByLevels>());
    }

    static HRESULT sort(IKSQLevelList& levels)
    {
        argument holder(&levels);
        return sorter()->Sort(holder.get());
    }

    com::com_ptr<IKSQLevelList> prepare(const level_ids& start, const relations& related)
    {
        expect_ok(host->ClearObjects());
        for (const auto& [from, to] : related)
            relate(from, to);
        return levels_of(start);
    }

    level_ids sorted(const level_ids& start, const relations& related)
    {
        auto levels = prepare(start, related);
        expect_ok(sort(*levels), "Sort");
        return contents_of(*levels);
    }

    void inject(const wchar_t* operation, long nth)
    {
        expect_ok(host->InjectFailure(com::bstr(operation).get(), nth, injected, com::bstr(L"injected").get()));
    }

    // Notify calls that a change of the level list and of each of its levels causes.
    long notifications_on_change(IKSQLevelList& levels)
    {
        std::vector<com::com_ptr<IKSQObjectList>> each;
        com::com_ptr<IKSQLevelIterator> walker;
        expect_ok(levels.CreateLevelIterator(walker.put()));
        for (com::com_ptr<IKSQObjectList> level; expect_ok(walker->Next(level.put())), level;)
            each.push_back(level);
        expect_ok(levels.RemoveIterator(walker.get()));
        expect_ok(host->ClearTrace());
        for (auto& level : each)
            expect_ok(level->Add(object(L"probe").get()));
        expect_ok(levels.Add(new_list().get()));
        long total = 0;
        for (const wchar_t* iterator : {L"CObjectListIterator", L"CLevelListIterator", L"CLevelReverseListIterator"})
            total += lines(std::wstring(L"Enter ") + iterator + L" IKSQIteratorNotify_Notify");
        return total;
    }
};

struct sort_case {
    const char* name;
    level_ids start;
    relations related;
    level_ids result;
};

TEST_F(LevelSortTest, RelatedObjectsMoveIntoLaterLevels)
{
    const sort_case cases[] = {
        {"empty level list", {}, {}, {}},
        {"no relations", {{L"A", L"B"}}, {}, {{L"A", L"B"}}},
        {"related object in no level", {{L"A"}}, {{L"A", L"Z"}}, {{L"A"}}},
        {"chain in order", {{L"A", L"B", L"C"}}, {{L"A", L"B"}, {L"B", L"C"}}, {{L"A"}, {L"B"}, {L"C"}}},
        {"chain reversed", {{L"C", L"B", L"A"}}, {{L"A", L"B"}, {L"B", L"C"}}, {{L"A"}, {L"C", L"B"}}},
        {"two-cycle", {{L"A", L"B"}}, {{L"A", L"B"}, {L"B", L"A"}}, {{}, {L"B"}, {L"A"}}},
        {"self relations", {{L"A", L"B"}}, {{L"A", L"A"}, {L"B", L"B"}}, {{}, {L"A", L"B"}}},
        {"three-cycle", {{L"A", L"B", L"C"}}, {{L"A", L"B"}, {L"B", L"C"}, {L"C", L"A"}}, {{}, {L"B", L"A"}, {L"C"}}},
        // The copy in the latest level moves; the scan stops at the earlier one.
        {"copies in two levels", {{L"A", L"X"}, {L"X"}}, {{L"A", L"X"}}, {{L"A", L"X"}, {}, {L"X"}}},
        // The object visited removes itself, then the object after it: the
        // walk of the level goes on after it and visits nothing twice.
        {"self and follower", {{L"A", L"B", L"C"}}, {{L"B", L"B"}, {L"B", L"C"}}, {{L"A"}, {L"B", L"C"}}},
    };
    for (const sort_case& c : cases) {
        auto levels = prepare(c.start, c.related);
        expect_ok(sort(*levels), c.name);
        EXPECT_EQ(contents_of(*levels), c.result) << c.name;
        EXPECT_EQ(notifications_on_change(*levels), 0) << c.name << ": iterators left registered";
    }
}

TEST_F(LevelSortTest, ACycleThatEndsOnItsOwnIsNotCutShort)
{
    // Three objects that need nine levels before the mover table ends the passes.
    EXPECT_EQ(sorted({{L"C", L"A", L"B"}},
                     {{L"A", L"B"}, {L"B", L"B"}, {L"B", L"C"}, {L"B", L"A"}, {L"C", L"A"}, {L"C", L"B"}}),
              (level_ids{{}, {}, {}, {L"C"}, {}, {}, {L"A"}, {}, {L"B"}}));
}

TEST_F(LevelSortTest, AnAcyclicRelationAsDeepAsItsObjectsIsNotCut)
{
    // Each object names every object after it: each pass moves all but one of
    // them one level further, one level per object.
    level_ids start(1), expected;
    relations ordered;
    for (int i = 0; i < 12; ++i) {
        const std::wstring id = L"O" + std::to_wstring(i);
        start[0].push_back(id);
        expected.push_back({id});
        for (int j = 0; j < i; ++j)
            ordered.emplace_back(L"O" + std::to_wstring(j), id);
    }
    EXPECT_EQ(sorted(start, ordered), expected);
}

TEST_F(LevelSortTest, AnEndlessCycleStopsAtTheBoundWithItsObjectsKept)
{
    // Every pass moves all three objects into yet another level, though it
    // visits only A and B: C counts as seen all the same, as a related object.
    // Three objects allow levels down to depth (3 + 1)^2 = 16; the one appended
    // beyond that ends the sort. (Sort itself stops such passes earlier, once
    // they repeat: the bound is what remains without that.)
    const ids all = {L"A", L"B", L"C"};
    relations everything;
    for (const auto& from : all)
        for (const auto& to : all)
            everything.emplace_back(from, to);
    auto levels = prepare({all}, everything);
    EXPECT_EQ(ordering::level_sort(levels, ordering::repetition_check::off).run(), ordering::sort_end::bounded);
    level_ids expected(17);
    expected.push_back(all);
    EXPECT_EQ(contents_of(*levels), expected);
    EXPECT_EQ(notifications_on_change(*levels), 0);
}

TEST_F(LevelSortTest, YieldsForEachVisitAndEachScanThatRunsToItsEnd)
{
    long yields = 0;
    ordering::scoped_yield_hook counting([&] { ++yields; });
    // Four visits (A, C, B, C) and two scans that run out (for B and for C).
    sorted({{L"A", L"B", L"C"}}, {{L"A", L"B"}, {L"B", L"C"}});
    EXPECT_EQ(yields, 6);
    // Five visits and two scans that run out; the scan that its mover stops
    // (B for C, in the second pass) does not yield.
    yields = 0;
    sorted({{L"C", L"B", L"A"}}, {{L"A", L"B"}, {L"B", L"C"}});
    EXPECT_EQ(yields, 7);
}

TEST_F(LevelSortTest, TracesEachListOperationInsideTheSort)
{
    auto levels = prepare({{L"A"}}, {});
    auto sort_object = sorter();
    argument holder(levels.get());
    expect_ok(host->ClearTrace());
    expect_ok(sort_object->Sort(holder.get()));
    const std::vector<std::wstring> has_next_test = {L"Enter modCommonFunctions HasNext",
                                                     L"Leave modCommonFunctions HasNext"};
    std::vector<std::wstring> expected = {
        L"Enter CSortApplicationByLevels IKSQSortApplicationObjects_Sort",
        L"Enter CLevelList IKSQLevelList_CreateLevelIterator", L"Enter CLevelListIterator Initialize",
        L"Leave CLevelListIterator Initialize", L"Leave CLevelList IKSQLevelList_CreateLevelIterator"};
    auto add = [&](std::initializer_list<std::wstring> lines) { expected.insert(expected.end(), lines); };
    auto has_next = [&](const std::wstring& prefix) {
        add({L"Enter " + prefix + L"_HasNext"});
        expected.insert(expected.end(), has_next_test.begin(), has_next_test.end());
        add({L"Leave " + prefix + L"_HasNext"});
    };
    auto next = [&](const std::wstring& prefix) {
        add({L"Enter " + prefix + L"_Next"});
        has_next(prefix);
        add({L"Leave " + prefix + L"_Next"});
    };
    has_next(L"CLevelListIterator IKSQLevelIterator");
    next(L"CLevelListIterator IKSQLevelIterator");
    add({L"Enter CObjectList IKSQObjectList_CreateObjectIterator", L"Enter CObjectListIterator Initialize",
         L"Leave CObjectListIterator Initialize", L"Leave CObjectList IKSQObjectList_CreateObjectIterator"});
    has_next(L"CObjectListIterator IKSQObjectIterator");
    next(L"CObjectListIterator IKSQObjectIterator");
    has_next(L"CObjectListIterator IKSQObjectIterator");
    add({L"Enter CObjectList IKSQObjectList_Count", L"Leave CObjectList IKSQObjectList_Count",
         L"Enter CObjectList IKSQObjectList_RemoveAllIterators",
         L"Leave CObjectList IKSQObjectList_RemoveAllIterators"});
    has_next(L"CLevelListIterator IKSQLevelIterator");
    add({L"Enter CLevelList IKSQLevelList_RemoveAllIterators", L"Leave CLevelList IKSQLevelList_RemoveAllIterators",
         L"Leave CSortApplicationByLevels IKSQSortApplicationObjects_Sort"});
    EXPECT_EQ(traces(), expected);
    for (const wchar_t* operation : {L"HostObject.RelatedObjects", L"Collection._NewEnum", L"Enumerator.Next"})
        EXPECT_EQ(call_count(*host, operation), 1) << operation;
}

TEST_F(LevelSortTest, HostFailuresEndTheSortUnchanged)
{
    for (const wchar_t* operation :
         {L"HostObject.RelatedObjects", L"Collection._NewEnum", L"Enumerator.Next", L"HostObject.ID"}) {
        auto levels = prepare({{L"A", L"B"}}, {{L"A", L"B"}});
        expect_ok(host->Reset());
        inject(operation, 1);
        const failure f = failure_of(sort(*levels));
        EXPECT_EQ(f.code, injected) << operation;
        EXPECT_EQ(f.source, L"KSimHost") << operation;
        EXPECT_EQ(f.description, L"injected") << operation;
        EXPECT_EQ(contents_of(*levels), (level_ids{{L"A", L"B"}})) << operation;
    }
}

TEST_F(LevelSortTest, AFailureKeepsTheMovesAndRegistrationsMadeSoFar)
{
    auto levels = prepare({{L"A", L"B", L"C"}}, {{L"A", L"B"}, {L"B", L"C"}});
    // Visits A and C in level 0, then B in level 1.
    inject(L"HostObject.RelatedObjects", 3);
    EXPECT_EQ(failure_of(sort(*levels)).code, injected);
    EXPECT_EQ(contents_of(*levels), (level_ids{{L"A", L"C"}, {L"B"}}));
    // The level walk and the scan for B stay registered on the level list, the
    // object walk on level 1.
    expect_ok(host->ClearTrace());
    expect_ok(levels->Add(new_list().get()));
    EXPECT_EQ(lines(L"Enter CLevelListIterator IKSQIteratorNotify_Notify"), 1);
    EXPECT_EQ(lines(L"Enter CLevelReverseListIterator IKSQIteratorNotify_Notify"), 1);
}

TEST_F(LevelSortTest, AnythingButALevelListFailsBeforeAnyChange)
{
    argument nothing;
    EXPECT_EQ(sorter()->Sort(nothing.get()), DISP_E_TYPEMISMATCH);
    argument object_list(new_list().get());
    EXPECT_EQ(sorter()->Sort(object_list.get()), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(sorter()->Sort(nullptr), E_POINTER);

    auto levels = prepare({{L"A", L"B"}}, {{L"A", L"B"}});
    IDispatch* target = levels.get();
    VARIANT by_reference;
    by_reference.vt = VT_DISPATCH | VT_BYREF;
    by_reference.ppdispVal = &target;
    expect_ok(sorter()->Sort(&by_reference));
    EXPECT_EQ(contents_of(*levels), (level_ids{{L"A"}, {L"B"}}));
}

TEST(PassBoundTest, AllowsEveryDepthAnAcyclicRelationReachesAndNeverWraps)
{
    for (std::size_t seen = 0; seen < 100000; ++seen)
        ASSERT_GE(ordering::pass_bound::limit(seen), seen) << seen;
    EXPECT_EQ(ordering::pass_bound::limit(std::numeric_limits<std::size_t>::max()),
              std::numeric_limits<std::size_t>::max());
}

} // namespace
