#include "catalogue/QuorvallisCommands.h"
#include "tests/catalogue/CatalogueTestSupport.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <random>
#include <string>
#include <vector>

// The lookup keeps an index; whatever the edits, it must give what a walk
// over allCommands gives: the first command whose shortcut matches.
namespace {

CommandPtr FirstByWalk(const QuorvallisCommands& catalogue, const std::wstring& shortcut)
{
    for (const CommandPtr& command : catalogue.allCommands) {
        if (command && ShortcutsEqual(command->shortcut, shortcut))
            return command;
    }
    return CommandPtr();
}

const std::vector<std::wstring> kPool = {L"a",  L"A",  L"b", L"mail", L"MAIL", L"Mail", L"x1",
                                         L"X1", L"zz", L"",  L"map",  L"Ma",   L"x"};

// The completion by a walk: the first of the most run among the shortcuts
// that start with the word.
CommandPtr CompletionByWalk(const QuorvallisCommands& catalogue, const std::wstring& word)
{
    CommandPtr best;
    for (const CommandPtr& command : catalogue.allCommands) {
        if (!command || command->shortcut.size() < word.size() ||
            !ShortcutsEqual(command->shortcut.str().substr(0, word.size()), word))
            continue;
        if (!best || command->timesExecuted > best->timesExecuted)
            best = command;
    }
    return best;
}

const std::vector<std::wstring> kWords = {L"a", L"M", L"ma", L"MAI", L"x", L"X1", L"z"};

void ExpectLookupsAgree(const QuorvallisCommands& catalogue, int step)
{
    for (const std::wstring& shortcut : kPool) {
        ASSERT_EQ(catalogue.FindCommandByShortcut(shortcut), FirstByWalk(catalogue, shortcut))
            << "after step " << step << ", shortcut \"" << std::string(shortcut.begin(), shortcut.end()) << '"';
    }
    for (const std::wstring& word : kWords) {
        ASSERT_EQ(catalogue.CompletionFor(word), CompletionByWalk(catalogue, word))
            << "after step " << step << ", completing \"" << std::string(word.begin(), word.end()) << '"';
    }
}

} // namespace

TEST(ShortcutLookup, AgreesWithAWalkThroughRandomEdits)
{
    std::mt19937 random(7);
    QuorvallisCommands catalogue;
    std::vector<GroupPtr> groups = {catalogue.groups[0], catalogue.groups[1]};
    auto anyShortcut = [&] { return kPool[random() % kPool.size()]; };
    auto anyCommand = [&]() -> CommandPtr {
        if (catalogue.allCommands.empty())
            return CommandPtr();
        return catalogue.allCommands[random() % catalogue.allCommands.size()];
    };

    for (int step = 0; step < 3000; ++step) {
        // Runs raise counts at any time, also of records replaced since.
        if (random() % 4 == 0) {
            if (CommandPtr listed = anyCommand())
                catalogue.RecordSuccessfulRun(listed);
        }
        switch (random() % 9) {
        case 0:
        case 1: catalogue.AddCommand(groups[random() % groups.size()]->id, L"n", L"", 0, anyShortcut()); break;
        case 2:
            catalogue.InsertCommand(groups[random() % groups.size()]->id,
                                    CommandPtr(new QuorvallisCommand(0, L"i", L"", 0, 0, anyShortcut())));
            break;
        case 3:
        case 4:
            if (CommandPtr old = anyCommand()) {
                // In place (often onto a taken shortcut) or a move.
                CommandPtr copy(new QuorvallisCommand(*old));
                copy->shortcut = anyShortcut();
                if (random() % 3 == 0)
                    copy->groupId = groups[random() % groups.size()]->id;
                // Or the editor was cancelled: the edited copy is dropped.
                if (random() % 4 != 0)
                    catalogue.ReplaceCommand(old->id, copy);
            }
            break;
        case 5:
            if (random() % 2) {
                if (CommandPtr old = anyCommand())
                    catalogue.RemoveCommand(old->id);
            } else if (CommandPtr listed = anyCommand()) {
                // Changed in place, told to the catalogue or not.
                auto lock = catalogue.Lock();
                listed->shortcut = anyShortcut();
                if (random() % 2)
                    catalogue.ReplaceCommand(listed->id, listed);
            }
            break;
        case 6:
            if (groups.size() < 6 || random() % 2) {
                groups.push_back(catalogue.AddSubgroup(groups[random() % groups.size()], L"g", 0));
            } else {
                const size_t at = 2 + random() % (groups.size() - 2);
                catalogue.RemoveGroup(groups[at]->id);
                groups.resize(2); // its descendants may have gone too
                for (const GroupPtr& top : catalogue.groups) {
                    if (top->id > 1)
                        groups.push_back(top);
                }
            }
            break;
        case 7: {
            // A list as a file's reader gives it.
            std::vector<CommandPtr> list = catalogue.allCommands;
            if (random() % 2)
                list.push_back(CommandPtr(new QuorvallisCommand(900 + step, L"d", L"", 0, 0, anyShortcut())));
            else if (!list.empty())
                list.erase(list.begin());
            catalogue.LoadCommands(std::move(list));
            break;
        }
        case 8:
            if (random() % 20 == 0) {
                QuorvallisCommands read;
                AppendAsRead(read, CommandPtr(new QuorvallisCommand(50, L"r", L"", 0, 0, anyShortcut())));
                catalogue.AdoptStoredFields(read);
                groups = {catalogue.groups[0], catalogue.groups[1]};
            }
            break;
        }
        ExpectLookupsAgree(catalogue, step);
        if (HasFatalFailure())
            return;
    }
}

// A listed record changed in place is found under its new shortcut, not
// under its old one, whether the catalogue was told (ReplaceCommand with the
// record itself) or not; AddCommand then refuses the new shortcut.
TEST(ShortcutLookup, SeesShortcutChangedOnAListedRecord)
{
    for (const bool told : {false, true}) {
        QuorvallisCommands catalogue;
        CommandPtr mail = catalogue.AddCommand(0, L"Mail", L"", 0, L"mail");
        CommandPtr news = catalogue.AddCommand(0, L"News", L"", 0, L"news");
        ASSERT_EQ(catalogue.FindCommandByShortcut(L"mail"), mail);
        ASSERT_FALSE(catalogue.FindCommandByShortcut(L"post"));
        mail->shortcut = L"post";
        if (told) {
            ASSERT_TRUE(catalogue.ReplaceCommand(mail->id, mail));
        }
        EXPECT_EQ(catalogue.FindCommandByShortcut(L"POST"), mail) << "told " << told;
        EXPECT_FALSE(catalogue.FindCommandByShortcut(L"mail"));
        EXPECT_FALSE(catalogue.AddCommand(0, L"Post", L"", 0, L"Post")) << "a duplicate got in, told " << told;
        EXPECT_TRUE(catalogue.AddCommand(0, L"Mail", L"", 0, L"mail"));
        // Onto a shortcut further down the list: the earlier record wins.
        news->shortcut = L"Post";
        EXPECT_EQ(catalogue.FindCommandByShortcut(L"post"), mail);
        mail->shortcut = L"gone";
        EXPECT_EQ(catalogue.FindCommandByShortcut(L"post"), news);
    }
}

// An editor works on a copy: whatever it does to the copy, lookups and the
// completion stay as they were, and the next key finds the index as it was
// instead of building it again from every command.
TEST(ShortcutLookup, AnEditorsCopyNeverTouchesTheIndex)
{
    QuorvallisCommands catalogue;
    for (int i = 0; i < 1000; ++i)
        catalogue.AddCommand(0, L"C", L"", 0, L"c" + std::to_wstring(i));
    CommandPtr mail = catalogue.AddCommand(0, L"Mail", L"", 0, L"mail");
    const CommandPtr c7 = catalogue.FindCommandByShortcut(L"c7");
    ASSERT_EQ(catalogue.CompletionFor(L"ma"), mail);
    const auto builds = catalogue.IndexBuilds();
    {
        CommandPtr cancelled(new QuorvallisCommand(*mail));
        cancelled->shortcut = L"post";
        cancelled->timesExecuted = 9;
    }
    CommandPtr open(new QuorvallisCommand(*mail));
    open->shortcut = L"c7";

    EXPECT_EQ(catalogue.FindCommandByShortcut(L"mail"), mail);
    EXPECT_FALSE(catalogue.FindCommandByShortcut(L"post"));
    EXPECT_EQ(catalogue.FindCommandByShortcut(L"C7"), c7);
    EXPECT_EQ(catalogue.CompletionFor(L"MA"), mail);
    EXPECT_EQ(catalogue.IndexBuilds(), builds);
}

// The completion of a typed word, ranked and folded: shortcuts that start
// with the word (letters A to Z in either case, nothing else folded), the
// most run first, then list order; shortcuts a typed line cannot reach are
// never offered.
TEST(ShortcutCompletion, RankingAndFolding)
{
    QuorvallisCommands catalogue;
    const struct {
        const wchar_t* shortcut;
        int runs;
    } commands[] = {{L"mail", 0},    {L"MAP", 3},    {L"max", 3},       {L"m", 1},   {L"Notes", 0}, {L"net", 0},
                    {L"my word", 9}, {L"say\"x", 9}, {L"\u00dcber", 0}, {L"x-1", 0}, {L"X+2", 1}};
    for (const auto& c : commands) {
        CommandPtr command = catalogue.AddCommand(0, c.shortcut, L"", 0, c.shortcut);
        ASSERT_TRUE(command);
        command->timesExecuted = c.runs;
    }
    const struct {
        const wchar_t* word;
        const wchar_t* expected; // null: none
    } cases[] = {
        {L"m", L"MAP"},     {L"MA", L"MAP"},  {L"mA", L"MAP"},      {L"mai", L"mail"},         {L"MAX", L"max"},
        {L"mapx", nullptr}, {L"n", L"Notes"}, {L"NE", L"net"},      {L"my", nullptr},          {L"say", nullptr},
        {L"q", nullptr},    {L"", nullptr},   {L"\u00fc", nullptr}, {L"\u00dc", L"\u00dcber"}, {L"x", L"X+2"},
        {L"x-", L"x-1"},    {L"M", L"MAP"},
    };
    for (const auto& c : cases) {
        const CommandPtr found = catalogue.CompletionFor(c.word);
        const std::string word(c.word, c.word + wcslen(c.word));
        if (!c.expected) {
            EXPECT_FALSE(found) << word;
        } else {
            ASSERT_TRUE(found) << word;
            EXPECT_EQ(found->shortcut, c.expected) << word;
        }
    }
    // A run moves a command up; one added later, as the main window adds
    // it, is found at once; a removed one is gone.
    catalogue.RecordSuccessfulRun(catalogue.FindCommandByShortcut(L"max"));
    EXPECT_EQ(catalogue.CompletionFor(L"m")->shortcut, L"max");
    catalogue.AddCommand(0, L"Mango", L"", 0, L"mango")->timesExecuted = 5;
    EXPECT_EQ(catalogue.CompletionFor(L"ma")->shortcut, L"mango");
    catalogue.RemoveCommand(catalogue.FindCommandByShortcut(L"mango")->id);
    EXPECT_EQ(catalogue.CompletionFor(L"ma")->shortcut, L"max");
    // An edited copy keeps its place and count under its new shortcut.
    CommandPtr copy(new QuorvallisCommand(*catalogue.FindCommandByShortcut(L"mail")));
    copy->shortcut = L"Mz";
    ASSERT_TRUE(catalogue.UpdateCommand(copy->id, copy));
    EXPECT_EQ(catalogue.CompletionFor(L"mz"), copy);
    EXPECT_FALSE(catalogue.CompletionFor(L"mai"));
}

namespace {

// The list of matches over a small catalogue: each row the typed word and the
// shortcuts of the rows in the order expected, written out by hand.
struct MatchCase {
    const char* name;
    std::wstring word;
    std::vector<std::wstring> shortcuts;
};

class MatchRanking : public ::testing::TestWithParam<MatchCase> {};

TEST_P(MatchRanking, RowsInOrder)
{
    QuorvallisCommands catalogue;
    const struct {
        const wchar_t* name;
        const wchar_t* shortcut;
        int runs;
    } commands[] = {
        {L"Echo to a file", L"etf", 0}, {L"Edit the notes", L"ed", 0},
        {L"Open Notepad", L"np", 3},    {L"Notes", L"nt", 1},
        {L"Network tools", L"net", 1},  {L"Mail", L"m", 0},
        {L"Maps", L"mapsx", 2},         {L"Café menu", L"cafe", 0},
        {L"Calendar", L"Cal", 0},       {L"Echo twice, then flush", L"x2", 0},
        {L"another note", L"nb", 1},
    };
    for (const auto& c : commands)
        catalogue.AddCommand(0, c.name, L"", 0, c.shortcut)->timesExecuted = c.runs;
    std::vector<std::wstring> got;
    for (const MatchRow& row : catalogue.Matches(GetParam().word, 6))
        got.push_back(row.shortcut);
    EXPECT_EQ(got, GetParam().shortcuts);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MatchRanking,
    ::testing::Values(
        // "m" is a shortcut and starts "mapsx": exact first, whatever the counts.
        MatchCase{"ExactBeforePrefix", L"m", {L"m", L"mapsx", L"cafe"}},
        // Shortcuts that start with it, then names: word starts before scattered.
        MatchCase{"PrefixThenWordStartsThenScattered", L"n", {L"np", L"nt", L"net", L"nb", L"ed", L"cafe"}},
        MatchCase{"WordStartsMostRunFirst", L"note", {L"np", L"nt", L"nb", L"ed"}},
        MatchCase{"InitialsOfTheName", L"etf", {L"etf", L"x2"}},
        MatchCase{"PiecesOfWordsInOrder", L"ectf", {L"etf", L"x2"}},
        // Scattered: closer letters first ("edit tHe nOtes"), before the most run ("anotHer nOte").
        MatchCase{"CloserLettersFirst", L"ho", {L"etf", L"x2", L"ed", L"nb"}},
        // The shortcut by its start, then "eCho to A File"; the exact one only as typed lines run it.
        MatchCase{"CaseAndAccentsDoNotMatter", L"CAFÉ", {L"cafe", L"etf"}},
        MatchCase{"ShortcutCaseDoesNotMatter", L"cAL", {L"Cal", L"etf"}}, MatchCase{"EmptyWordNothing", L"", {}},
        MatchCase{"NoMatch", L"qqq", {}}, MatchCase{"AtMostSix", L"e", {L"etf", L"ed", L"x2", L"np", L"nt", L"net"}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(MatchRanking, ListOrderBreaksTiesAndCountsFollowRuns)
{
    QuorvallisCommands catalogue;
    catalogue.AddCommand(0, L"Beta", L"", 0, L"b1");
    catalogue.AddCommand(0, L"Bravo", L"", 0, L"b2");
    const auto shortcuts = [&] {
        std::vector<std::wstring> got;
        for (const MatchRow& row : catalogue.Matches(L"b", 6))
            got.push_back(row.shortcut);
        return got;
    };
    EXPECT_EQ(shortcuts(), (std::vector<std::wstring>{L"b1", L"b2"}));
    // A run counted after the list was made moves the row up at the next word.
    catalogue.RecordSuccessfulRun(catalogue.FindCommandByShortcut(L"b2"));
    EXPECT_EQ(shortcuts(), (std::vector<std::wstring>{L"b2", L"b1"}));
    const auto rows = catalogue.Matches(L"bvo", 6);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].nameLetters, (std::vector<std::size_t>{0, 3, 4}));
}

} // namespace
