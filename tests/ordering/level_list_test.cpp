// CLevelList with its forward and reverse iterators.
#include "ordering_fixture.h"

#include "com/bstr.h"

using namespace testing_support;
using namespace ordering_testing;

namespace {

class LevelListTest : public OrderingTest {
protected:
    static com::com_ptr<IKSQLevelIterator> forward(IKSQLevelList& levels)
    {
        com::com_ptr<IKSQLevelIterator> result;
        expect_ok(levels.CreateLevelIterator(result.put()));
        return result;
    }
    static com::com_ptr<IKSQLevelIterator> reverse(IKSQLevelList& levels)
    {
        com::com_ptr<IKSQLevelIterator> result;
        expect_ok(levels.CreateReverseLevelIterator(result.put()));
        return result;
    }
    static com::com_ptr<IKSQObjectList> next(IKSQLevelIterator& iterator)
    {
        com::com_ptr<IKSQObjectList> result;
        expect_ok(iterator.Next(result.put()));
        return result;
    }
    static bool has_next(IKSQLevelIterator& iterator)
    {
        VARIANT_BOOL more = VARIANT_FALSE;
        expect_ok(iterator.HasNext(&more));
        return more != VARIANT_FALSE;
    }
    long notified()
    {
        return lines(L"Enter CLevelListIterator IKSQIteratorNotify_Notify") +
               lines(L"Enter CLevelReverseListIterator IKSQIteratorNotify_Notify");
    }
};

TEST_F(LevelListTest, AListAddedTwiceIsOneLevelButBothAddsAreAnnounced)
{
    auto levels = new_levels();
    auto level = list({L"A"});
    auto walker = forward(*levels);
    auto backward = reverse(*levels);
    expect_ok(host->ClearTrace());
    expect_ok(levels->Add(level.get()));
    expect_ok(levels->Add(level.get()));
    EXPECT_EQ(notified(), 4);
    EXPECT_EQ(next(*walker), level);
    EXPECT_FALSE(next(*walker));
    EXPECT_EQ(contents_of(*levels), (level_ids{{L"A"}}));
}

TEST_F(LevelListTest, AForwardWalkReachesLevelsAddedAfterItsEnd)
{
    auto levels = new_levels();
    auto walker = forward(*levels);
    EXPECT_FALSE(has_next(*walker));
    EXPECT_FALSE(next(*walker));
    auto added = list({L"B"});
    expect_ok(levels->Add(added.get()));
    EXPECT_TRUE(has_next(*walker));
    EXPECT_EQ(next(*walker), added);
}

TEST_F(LevelListTest, AReverseWalkCoversTheLevelsThatExistedWhenItWasMade)
{
    auto levels = new_levels();
    auto l0 = list({L"A"});
    auto l1 = list({L"B"});
    expect_ok(levels->Add(l0.get()));
    expect_ok(levels->Add(l1.get()));
    auto backward = reverse(*levels);
    EXPECT_FALSE(has_next(*reverse(*new_levels())));
    EXPECT_EQ(next(*backward), l1);
    expect_ok(levels->Add(list({L"C"}).get()));
    EXPECT_EQ(next(*backward), l0);
    EXPECT_FALSE(has_next(*backward));
    EXPECT_FALSE(next(*backward));
}

TEST_F(LevelListTest, UnregisteredIteratorsAreNoLongerTold)
{
    auto levels = new_levels();
    auto walker = forward(*levels);
    auto backward = reverse(*levels);
    expect_ok(levels->RemoveIterator(backward.get()));
    expect_ok(host->ClearTrace());
    expect_ok(levels->Add(list({L"A"}).get()));
    EXPECT_EQ(lines(L"Enter CLevelListIterator IKSQIteratorNotify_Notify"), 1);
    EXPECT_EQ(lines(L"Enter CLevelReverseListIterator IKSQIteratorNotify_Notify"), 0);
    expect_ok(levels->RemoveAllIterators());
    expect_ok(host->ClearTrace());
    expect_ok(levels->Add(list({L"B"}).get()));
    EXPECT_EQ(notified(), 0);
}

TEST_F(LevelListTest, AFailingNotifyFailsAddAfterTheLevelWasAppended)
{
    auto levels = new_levels();
    auto walker = forward(*levels);
    auto backward = reverse(*levels);
    auto level = list({L"A"});
    expect_ok(host->ClearTrace());
    // The second trace line of Add is the first iterator's Enter line.
    const HRESULT broken = static_cast<HRESULT>(0x80045678L);
    expect_ok(host->InjectFailure(com::bstr(L"TraceService.Trace").get(), 2, broken, com::bstr(L"no trace").get()));
    const failure f = failure_of(levels->Add(level.get()));
    EXPECT_EQ(f.code, broken);
    EXPECT_EQ(f.description, L"no trace");
    EXPECT_EQ(lines(L"Enter CLevelReverseListIterator IKSQIteratorNotify_Notify"), 0);
    EXPECT_EQ(lines(L"Leave CLevelList IKSQLevelList_Add"), 0);
    EXPECT_EQ(contents_of(*levels), (level_ids{{L"A"}}));
}

} // namespace
