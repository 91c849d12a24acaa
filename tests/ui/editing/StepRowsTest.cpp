// Moves of the script editor's step list: the rows and the working
// command's steps end in the same order, and selected blocks at the edges
// keep their order.
#include "catalogue/QuorvallisCommand.h"
#include "ui/editing/StepRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

enum class Move { Up, Down, Top, Bottom };

// Rows written as letters, one per step (A is step 0, B step 1, ...); capitals
// are selected rows. '?' is a selected row whose step the command does not hold.
struct MoveCase {
    const char* name;
    Move move;
    const char* before;
    const char* after;
    bool moved;
};

std::vector<StepRow> Rows(const std::string& letters)
{
    std::vector<StepRow> rows;
    for (char c : letters)
        rows.push_back(StepRow{c == '?' ? 99 : std::toupper(c) - 'A', c == '?' || std::isupper(c) != 0});
    return rows;
}

std::string Letters(const std::vector<StepRow>& rows)
{
    std::string letters;
    for (const StepRow& row : rows) {
        const char c = row.stepId == 99 ? '?' : static_cast<char>('a' + row.stepId);
        letters += row.selected ? static_cast<char>(std::toupper(c)) : c;
    }
    return letters;
}

std::string StepLetters(const QuorvallisCommand& command)
{
    std::string letters;
    for (const StepPtr& step : command.steps)
        letters += static_cast<char>('a' + step->id);
    return letters;
}

QuorvallisCommand CommandFor(const std::string& letters)
{
    QuorvallisCommand command(7, L"Script", L"", 4, 1, L"s");
    for (char c : letters) {
        if (c != '?')
            command.steps.push_back(StepPtr(new QuorvallisScriptStep(std::toupper(c) - 'A')));
    }
    return command;
}

class StepRowMoves : public ::testing::TestWithParam<MoveCase> {};

TEST_P(StepRowMoves, RowsAndStepsEndInTheSameOrder)
{
    const MoveCase& c = GetParam();
    std::vector<StepRow> rows = Rows(c.before);
    QuorvallisCommand command = CommandFor(c.before);
    bool moved = false;
    switch (c.move) {
    case Move::Up: moved = StepRows::MoveUp(rows, command); break;
    case Move::Down: moved = StepRows::MoveDown(rows, command); break;
    case Move::Top: moved = StepRows::MoveToTop(rows, command); break;
    case Move::Bottom: moved = StepRows::MoveToBottom(rows, command); break;
    }
    EXPECT_EQ(Letters(rows), c.after);
    EXPECT_EQ(moved, c.moved);
    std::string withoutUnknown = c.after;
    withoutUnknown.erase(std::remove(withoutUnknown.begin(), withoutUnknown.end(), '?'), withoutUnknown.end());
    for (auto& ch : withoutUnknown)
        ch = static_cast<char>(std::tolower(ch));
    EXPECT_EQ(StepLetters(command), withoutUnknown);
}

const MoveCase kMoves[] = {
    {"UpSingle", Move::Up, "aBcd", "Bacd", true},
    {"UpSingleAtTop", Move::Up, "Abcd", "Abcd", false},
    {"UpBlockAtTopKeepsItsOrder", Move::Up, "ABcd", "ABcd", false},
    {"UpBlockAtTopAndAnotherRow", Move::Up, "ABcD", "ABDc", true},
    {"UpTwoApart", Move::Up, "aBcD", "BaDc", true},
    {"UpBlockInTheMiddle", Move::Up, "aBCd", "BCad", true},
    {"DownSingle", Move::Down, "abCd", "abdC", true},
    {"DownSingleAtBottom", Move::Down, "abcD", "abcD", false},
    {"DownBlockAtBottomKeepsItsOrder", Move::Down, "abCD", "abCD", false},
    {"DownBlockAtBottomAndAnotherRow", Move::Down, "AbCD", "bACD", true},
    {"TopTwoApart", Move::Top, "aBcD", "BDac", true},
    {"TopSingleAtTop", Move::Top, "Abcd", "Abcd", false},
    {"TopBlockAtTop", Move::Top, "ABcd", "ABcd", true},
    {"TopLast", Move::Top, "abcD", "Dabc", true},
    {"BottomTwoApart", Move::Bottom, "AbCd", "bdAC", true},
    {"BottomSingleAtBottom", Move::Bottom, "abcD", "abcD", false},
    {"BottomBlockAtBottom", Move::Bottom, "abCD", "abCD", true},
    {"BottomFirst", Move::Bottom, "Abcd", "bcdA", true},
    {"NothingSelected", Move::Top, "abcd", "abcd", false},
    // A row whose step is gone does not move: the list would no longer
    // match the steps.
    {"UpRowWithoutStepStays", Move::Up, "a?c", "a?c", false},
    {"TopRowWithoutStepStays", Move::Top, "ab?", "ab?", false},
    {"BottomRowWithoutStepStaysOthersMove", Move::Bottom, "?Bc", "?cB", true},
};

INSTANTIATE_TEST_SUITE_P(Table, StepRowMoves, ::testing::ValuesIn(kMoves),
                         [](const ::testing::TestParamInfo<MoveCase>& row) { return row.param.name; });

} // namespace
