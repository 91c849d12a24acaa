#include "exec/LineTokenizer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TokenizeCase {
    const char* name;
    std::wstring line;
    ArgumentList tokens;
};

class TokenizeLineTable : public testing::TestWithParam<TokenizeCase> {};

TEST_P(TokenizeLineTable, SplitsAsTyped)
{
    EXPECT_EQ(TokenizeLine(GetParam().line), GetParam().tokens);
}

const TokenizeCase kCases[] = {
    {"Empty", L"", {}},
    {"OnlySpaces", L"     ", {}},
    {"OneWord", L"notepad", {L"notepad"}},
    {"QuotedGroupKeepsItsQuotes", L"open \"two words\" x", {L"open", L"\"two words\"", L"x"}},
    {"QuoteInsideAWordSplitsIt", L"ab\"c d\"e", {L"ab", L"\"c d\"", L"e"}},
    {"RunsOfSpacesMakeNoEmptyTokens", L"  go   now  ", {L"go", L"now"}},
    {"TwoQuotes", L"\"\"", {L"\"\""}},
    {"OneQuote", L"\"", {L"\""}},
    {"UnclosedQuoteTakesTheRest", L"say \"hello  there ", {L"say", L"\"hello  there "}},
    {"AdjacentQuotedGroups", L"\"a\"\"b\"", {L"\"a\"", L"\"b\""}},
    {"EmptyQuotesBetweenWords", L"a \"\" b", {L"a", L"\"\"", L"b"}},
    {"TabsAreOrdinary", L"a\tb c\t", {L"a\tb", L"c\t"}},
    {"OtherBlanksAreOrdinary", L"a\u00A0b\u3000c\r\nd", {L"a\u00A0b\u3000c\r\nd"}},
    {"PlaceholdersAreOrdinary", L"g %% \"%%\"", {L"g", L"%%", L"\"%%\""}},
    {"SurrogatePairStaysWhole", L"s \xD83D\xDE00 x", {L"s", L"\xD83D\xDE00", L"x"}},
    {"NulIsOrdinary", std::wstring(L"a\0b c", 5), {std::wstring(L"a\0b", 3), L"c"}},
};

INSTANTIATE_TEST_SUITE_P(Lines, TokenizeLineTable, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<TokenizeCase>& row) { return row.param.name; });

// Lines as long as the typing popup hands over (1199 characters).
TEST(TokenizeLongLines, LoneQuoteAtTheStartTakesTheWholeLine)
{
    const std::wstring line = L"\"" + std::wstring(1198, L' ');
    const ArgumentList tokens = TokenizeLine(line);
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_EQ(tokens[0], line);
}

TEST(TokenizeLongLines, OddNumberOfQuotesEndsWithALoneQuote)
{
    const ArgumentList tokens = TokenizeLine(std::wstring(1199, L'"'));
    ASSERT_EQ(tokens.size(), 600u);
    for (size_t i = 0; i + 1 < tokens.size(); ++i)
        EXPECT_EQ(tokens[i], L"\"\"");
    EXPECT_EQ(tokens.back(), L"\"");
}

TEST(TokenizeLongLines, UnbalancedQuoteAtTheEndAfterManyWords)
{
    std::wstring line;
    while (line.size() < 1194)
        line += L"ab ";
    line += L"\"c  d";
    ASSERT_EQ(line.size(), 1199u);
    const ArgumentList tokens = TokenizeLine(line);
    ASSERT_EQ(tokens.size(), 1194u / 3 + 1);
    EXPECT_EQ(tokens.front(), L"ab");
    EXPECT_EQ(tokens.back(), L"\"c  d");
}

} // namespace
