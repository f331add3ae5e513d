// The iterators' position tests and their overflow checks.
#include "common/position.h"

#include "com/error.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(PositionTest, ForwardTestComparesWithTheCount)
{
    EXPECT_TRUE(common::HasNext(-1, 1));
    EXPECT_FALSE(common::HasNext(0, 1));
    EXPECT_FALSE(common::HasNext(-1, 0));
    // A count beyond every position, on x86 as on x64.
    EXPECT_TRUE(common::HasNext(INT_MAX - 1, static_cast<std::size_t>(INT_MAX) + 1));
}

TEST(PositionTest, ReverseTestLooksForPositionZero)
{
    EXPECT_TRUE(common::HasNext(1));
    EXPECT_FALSE(common::HasNext(0));
    EXPECT_FALSE(common::HasNext(-5));
}

TEST(PositionTest, PositionsAtTheLimitsOverflowInsteadOfWrapping)
{
    try {
        common::HasNext(INT_MAX, 3);
        FAIL() << "no overflow";
    } catch (const com::com_error& e) {
        EXPECT_EQ(e.code(), static_cast<HRESULT>(0x800A0006L));
    }
    EXPECT_THROW(common::HasNext(INT_MIN), com::com_error);
    EXPECT_THROW(common::next_position(INT_MAX, L"CTest"), com::com_error);
    EXPECT_EQ(common::next_position(INT_MAX - 1, L"CTest"), INT_MAX);
}

} // namespace
