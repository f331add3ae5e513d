// CObjectList and CObjectListIterator: keys, changes while iterators walk, the
// notifications and their failures.
#include "ordering_fixture.h"

#include "ordering/object_list.h"

#include "com/bstr.h"

using namespace testing_support;
using namespace ordering_testing;

namespace {

constexpr HRESULT injected = static_cast<HRESULT>(0x80041234L);

class ObjectListTest : public OrderingTest {
protected:
    void inject(const wchar_t* operation, long nth)
    {
        expect_ok(host->InjectFailure(com::bstr(operation).get(), nth, injected, com::bstr(L"injected").get()));
    }
};

TEST_F(ObjectListTest, KeysAreExactIdTextsAndRepeatsOrMissesChangeNothing)
{
    auto objects = list({L"a", L"A", L"a "});
    auto walker = iterator(*objects);
    expect_ok(host->ClearTrace());
    expect_ok(objects->Add(object(L"A").get()));
    argument upper(L"A"), missing(L"b");
    expect_ok(objects->Remove(missing.get()));
    EXPECT_EQ(lines(L"Enter CObjectListIterator IKSQIteratorNotify_Notify"), 0);
    EXPECT_EQ(ids_of(*objects), (ids{L"a", L"A", L"a "}));
    EXPECT_TRUE(exists(*objects, upper.get()));
}

TEST_F(ObjectListTest, KeysAreTextsObjectsOrElseTheEmptyId)
{
    auto objects = list({L"A", L"B", L"C"});
    argument by_text(L"A"), by_object(object(L"B").get()), empty, number(7L);
    EXPECT_TRUE(exists(*objects, by_text.get()));
    EXPECT_TRUE(exists(*objects, by_object.get()));
    EXPECT_FALSE(exists(*objects, number.get()));
    expect_ok(objects->Add(object(L"").get()));
    EXPECT_TRUE(exists(*objects, number.get()));

    // A key passed by reference counts as its target.
    BSTR text = ::SysAllocString(L"C");
    VARIANT by_reference;
    by_reference.vt = VT_BSTR | VT_BYREF;
    by_reference.pbstrVal = &text;
    expect_ok(objects->Remove(&by_reference));
    ::SysFreeString(text);
    expect_ok(objects->Remove(by_object.get()));
    expect_ok(objects->Remove(empty.get()));
    EXPECT_EQ(ids_of(*objects), (ids{L"A"}));
}

TEST_F(ObjectListTest, NullAndForeignObjectsFailBeforeAnyChange)
{
    auto objects = list({L"A"});
    auto walker = iterator(*objects);
    expect_ok(host->ClearTrace());
    EXPECT_EQ(objects->Add(nullptr), E_POINTER);
    argument null_object(static_cast<IUnknown*>(nullptr));
    VARIANT_BOOL found = VARIANT_TRUE;
    EXPECT_EQ(objects->Exists(null_object.get(), &found), E_POINTER);
    argument not_a_host_object(new_list().get());
    EXPECT_EQ(objects->Remove(not_a_host_object.get()), E_NOINTERFACE);
    EXPECT_EQ(failure_of(E_NOINTERFACE).source, L"CObjectList");
    EXPECT_EQ(count(*objects), 1);
    EXPECT_EQ(lines(L"Enter CObjectListIterator IKSQIteratorNotify_Notify"), 0);
}

TEST_F(ObjectListTest, IteratorOverAnEmptyListSeesLaterAdditions)
{
    auto objects = new_list();
    auto walker = iterator(*objects);
    EXPECT_FALSE(has_next(*walker));
    EXPECT_EQ(next_id(*walker), L"-");
    expect_ok(objects->Add(object(L"A").get()));
    EXPECT_TRUE(has_next(*walker));
    EXPECT_EQ(next_id(*walker), L"A");
    EXPECT_EQ(next_id(*walker), L"-");
    expect_ok(objects->Add(object(L"B").get()));
    EXPECT_EQ(next_id(*walker), L"B");
}

// A walk over a list: Next `taken` times, then remove `removed` one after the
// other, then the rest of the walk.
struct walk_case {
    ids list;
    int taken;
    ids removed;
    ids rest;
};

TEST_F(ObjectListTest, RemovalsNeitherSkipNorRepeatAnObject)
{
    const walk_case cases[] = {
        {{L"A", L"B", L"C"}, 2, {L"B"}, {L"C"}},
        {{L"A", L"B", L"C", L"D"}, 3, {L"A"}, {L"D"}},
        {{L"A", L"B", L"C"}, 1, {L"C"}, {L"B"}},
        {{L"A", L"B"}, 0, {L"A"}, {L"B"}},
        {{L"A", L"B", L"C"}, 3, {L"C"}, {}},
        {{L"A", L"B", L"C"}, 3, {L"A", L"B"}, {}},
        // The object last returned, then the one after it: the walk goes on
        // with the next one and does not return A again.
        {{L"A", L"B", L"C", L"D"}, 2, {L"B", L"C"}, {L"D"}},
        {{L"A", L"B", L"C", L"D"}, 2, {L"B", L"D"}, {L"C"}},
        {{L"A", L"B", L"C", L"D"}, 3, {L"C", L"B", L"A"}, {L"D"}},
    };
    for (const walk_case& c : cases) {
        auto objects = list(c.list);
        auto walker = iterator(*objects);
        for (int i = 0; i < c.taken; ++i)
            next_id(*walker);
        for (const std::wstring& id : c.removed) {
            argument key(id.c_str());
            expect_ok(objects->Remove(key.get()));
        }
        ids rest;
        for (std::wstring id = next_id(*walker); id != L"-"; id = next_id(*walker))
            rest.push_back(id);
        EXPECT_EQ(rest, c.rest) << "after " << c.taken << " of " << c.list.size() << " objects";
    }
}

TEST_F(ObjectListTest, AWalkAtItsEndDoesNotRepeatAfterAnAppendAndARemoval)
{
    auto objects = list({L"A"});
    auto walker = iterator(*objects);
    EXPECT_EQ(next_id(*walker), L"A");
    EXPECT_EQ(next_id(*walker), L"-");
    expect_ok(objects->Add(object(L"B").get()));
    argument b(L"B");
    expect_ok(objects->Remove(b.get()));
    EXPECT_FALSE(has_next(*walker));
}

TEST_F(ObjectListTest, UnregisteredIteratorsAreNoLongerTold)
{
    auto objects = list({L"A", L"B"});
    auto first = iterator(*objects);
    auto second = iterator(*objects);
    expect_ok(objects->RemoveIterator(first.get()));
    expect_ok(objects->RemoveIterator(first.get())); // no longer there: nothing happens
    expect_ok(host->ClearTrace());
    expect_ok(objects->Add(object(L"C").get()));
    EXPECT_EQ(lines(L"Enter CObjectListIterator IKSQIteratorNotify_Notify"), 1);

    expect_ok(objects->RemoveAllIterators());
    auto third = iterator(*objects);
    expect_ok(host->ClearTrace());
    expect_ok(objects->Add(object(L"D").get()));
    EXPECT_EQ(lines(L"Enter CObjectListIterator IKSQIteratorNotify_Notify"), 1); // only the third
}

TEST_F(ObjectListTest, RemoveTracesItsInnerOperationsNestedInsideIt)
{
    auto objects = list({L"A", L"B"});
    auto walker = iterator(*objects);
    EXPECT_EQ(next_id(*walker), L"A");
    expect_ok(host->Reset());
    argument b(L"B");
    expect_ok(objects->Remove(b.get()));
    EXPECT_EQ(traces(), (std::vector<std::wstring>{
                            L"Enter CObjectList IKSQObjectList_Remove",
                            L"Enter CObjectList IKSQObjectList_Exists",
                            L"Enter CObjectList FindKey",
                            L"Leave CObjectList FindKey",
                            L"Leave CObjectList IKSQObjectList_Exists",
                            L"Enter CObjectList FindKey",
                            L"Leave CObjectList FindKey",
                            L"Enter CObjectListIterator IKSQIteratorNotify_Notify",
                            L"Leave CObjectListIterator IKSQIteratorNotify_Notify",
                            L"Leave CObjectList IKSQObjectList_Remove",
                        }));
    // A stayed the object at the iterator's position: asked once, and it was.
    EXPECT_EQ(call_count(*host, L"HostUtility.ValuesEqual"), 1);
}

TEST_F(ObjectListTest, AFailingNotifyFailsTheChangeAfterItWasMade)
{
    auto objects = list({L"A", L"B", L"C"});
    auto first = iterator(*objects);
    auto second = iterator(*objects);
    next_id(*first);
    next_id(*second);
    expect_ok(host->ClearTrace());
    inject(L"HostUtility.ValuesEqual", 1);
    argument c(L"C");
    const failure f = failure_of(objects->Remove(c.get()));
    EXPECT_EQ(f.code, injected);
    EXPECT_EQ(f.description, L"injected");
    EXPECT_EQ(count(*objects), 2);
    EXPECT_EQ(lines(L"Enter CObjectListIterator IKSQIteratorNotify_Notify"), 1);
    EXPECT_EQ(lines(L"Leave CObjectListIterator IKSQIteratorNotify_Notify"), 0);
    EXPECT_EQ(lines(L"Leave CObjectList IKSQObjectList_Remove"), 0);
}

} // namespace
