// Tokenize: the pieces of a folder path, and how it traces.
#include "common/tokenize.h"

#include "support/com_testing.h"
#include "support/sim_host.h"

#include <gtest/gtest.h>

namespace {

using pieces = std::vector<std::wstring>;

pieces tokens(std::wstring_view text, std::wstring_view delimiter = L"\\")
{
    auto result = common::Tokenize(text, delimiter);
    EXPECT_TRUE(result) << "no list";
    return result.value_or(pieces{});
}

TEST(TokenizeTest, DropsEmptyPiecesExceptTheLast)
{
    EXPECT_EQ(tokens(L"\\Root\\\\Sales\\"), (pieces{L"Root", L"Sales", L""}));
    EXPECT_EQ(tokens(L"\\Root\\Sales"), (pieces{L"Root", L"Sales"}));
    EXPECT_EQ(tokens(L"Root"), (pieces{L"Root"}));
    EXPECT_EQ(tokens(L""), (pieces{L""}));
    EXPECT_EQ(tokens(L"\\"), (pieces{L""}));
    EXPECT_EQ(tokens(L"\\\\\\a"), (pieces{L"a"}));
    EXPECT_EQ(tokens(L" \\ "), (pieces{L" ", L" "})) << "spaces are text";
}

TEST(TokenizeTest, FindsTheDelimiterRegardlessOfCase)
{
    EXPECT_EQ(tokens(L"aXbxc", L"x"), (pieces{L"a", L"b", L"c"}));
    EXPECT_EQ(tokens(L"AndorANDxaNd", L"and"), (pieces{L"or", L"x", L""}));
    EXPECT_EQ(tokens(L"\u00e9t\u00c9", L"\u00e9"), (pieces{L"t", L""}));
    EXPECT_EQ(tokens(L"a\\b", L""), (pieces{L"a\\b"})) << "an empty delimiter occurs nowhere";
}

TEST(TokenizeTest, TracesEnterAndLeave)
{
    auto host = testing_support::sim_host();
    testing_support::expect_ok(host->ClearTrace());
    tokens(L"\\a");
    EXPECT_EQ(testing_support::trace_lines(*host),
              (std::vector<std::wstring>{L"Enter modCommonFunctions Tokenize", L"Leave modCommonFunctions Tokenize"}));
}

} // namespace
