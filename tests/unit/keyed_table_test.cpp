// The keyed table that every collection of the component uses.
#include "common/keyed_table.h"
#include "common/object_key.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using common::keyed_table;

#ifdef K1MRGRLS_EXPECT_ASSERTS
TEST(DebugBuildTest, InvariantAssertsAreOn)
{
#ifdef NDEBUG
    FAIL() << "NDEBUG is defined in a debug build: the invariants go unchecked";
#endif
}
#endif

TEST(KeyedTableTest, KeepsInsertionOrderThroughRemovals)
{
    keyed_table<std::wstring, int> table;
    for (int i = 0; i < 6; ++i)
        table.add(L"k" + std::to_wstring(i), i);
    table.remove(std::wstring_view(L"k0"));
    table.remove(std::wstring_view(L"k3"));
    table.remove(std::wstring_view(L"k5"));
    table.add(L"k0", 10);
    EXPECT_EQ(table.keys(), (std::vector<std::wstring>{L"k1", L"k2", L"k4", L"k0"}));
    EXPECT_EQ(table.count(), 4u);
    EXPECT_EQ(table.item(std::wstring_view(L"k0")), 10);
    std::vector<int> values;
    table.for_each([&](const std::wstring&, int value) { values.push_back(value); });
    EXPECT_EQ(values, (std::vector<int>{1, 2, 4, 10}));
}

TEST(KeyedTableTest, TextKeysAreComparedExactly)
{
    keyed_table<std::wstring, int> table;
    const std::wstring with_nul(L"a\0b", 3);
    for (const std::wstring& key :
         {std::wstring(L"a"), std::wstring(L"A"), std::wstring(L"a "), with_nul, std::wstring(L"")})
        table.add(key, 0);
    EXPECT_EQ(table.count(), 5u);
    EXPECT_TRUE(table.exists(std::wstring_view(with_nul)));
    EXPECT_FALSE(table.exists(std::wstring_view(L"a\0c", 3)));
    EXPECT_FALSE(table.exists(std::wstring_view(L" a")));
}

TEST(KeyedTableTest, AddOfAnExistingKeyFailsAndKeepsTheFirst)
{
    keyed_table<std::int32_t, int> table;
    table.add(-1, 1);
    EXPECT_THROW(table.add(-1, 2), common::duplicate_key);
    EXPECT_EQ(table.item(-1), 1);
    EXPECT_EQ(table.count(), 1u);
}

TEST(KeyedTableTest, MissingKeysFailOrAreNull)
{
    keyed_table<std::int32_t, int> table;
    EXPECT_THROW(table.item(4), common::missing_key);
    EXPECT_THROW(table.remove(4), common::missing_key);
    EXPECT_EQ(table.find(4), nullptr);
}

TEST(KeyedTableTest, KeysAreACopy)
{
    keyed_table<std::int32_t, int> table;
    table.add(1, 1);
    auto keys = table.keys();
    table.add(2, 2);
    EXPECT_EQ(keys.size(), 1u);
}

TEST(KeyedTableTest, ObjectKeysCompareByIdentity)
{
    struct probe : IUnknown {
        ULONG references = 1;
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
        {
            if (iid != IID_IUnknown) return E_NOINTERFACE;
            *out = this;
            AddRef();
            return S_OK;
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
        ULONG STDMETHODCALLTYPE Release() override { return --references; }
    } a, b;
    {
        keyed_table<common::object_key, int> table;
        table.add(common::object_key(&a), 1);
        table.add(common::object_key(&b), 2);
        EXPECT_THROW(table.add(common::object_key(&a), 3), common::duplicate_key);
        EXPECT_EQ(table.item(common::object_key(&b)), 2);
        EXPECT_EQ(a.references, 2u) << "the table holds its key";
    }
    EXPECT_EQ(a.references, 1u);
    EXPECT_EQ(b.references, 1u);
}

// Long random runs against a plain vector of pairs.
TEST(KeyedTableTest, AgreesWithASimpleModel)
{
    std::mt19937 random(7);
    keyed_table<std::int32_t, int> table;
    std::vector<std::pair<std::int32_t, int>> model;
    for (int step = 0; step < 20000; ++step) {
        const std::int32_t key = static_cast<std::int32_t>(random() % 64);
        auto found = std::find_if(model.begin(), model.end(), [&](auto& e) { return e.first == key; });
        if (random() % 3 == 0) {
            if (found == model.end()) {
                EXPECT_THROW(table.remove(key), common::missing_key);
            } else {
                table.remove(key);
                model.erase(found);
            }
        } else if (found == model.end()) {
            table.add(key, step);
            model.emplace_back(key, step);
        } else {
            EXPECT_THROW(table.add(key, step), common::duplicate_key);
        }
        ASSERT_EQ(table.count(), model.size());
    }
    std::vector<std::int32_t> keys;
    for (auto& e : model)
        keys.push_back(e.first);
    EXPECT_EQ(table.keys(), keys);
    for (auto& [key, value] : model)
        EXPECT_EQ(table.item(key), value);
}

} // namespace
