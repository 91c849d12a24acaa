#include "catalogue/QuorvallisCommands.h"
#include "store/CatalogueConsistency.h"
#include "tests/catalogue/CatalogueTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace {

std::vector<int> Ids(const std::vector<CommandPtr>& commands)
{
    std::vector<int> ids;
    for (const CommandPtr& command : commands)
        ids.push_back(command->id);
    return ids;
}

CommandPtr Copy(const CommandPtr& command)
{
    return CommandPtr(new QuorvallisCommand(*command));
}

} // namespace

TEST(ShortcutsEqual, FoldsOnlyTheLettersAToZ)
{
    struct Case {
        std::wstring a, b;
        bool equal;
    };
    const Case cases[] = {
        {L"mail", L"MAIL", true},      {L"AZaz", L"azAZ", true}, {L"", L"", true},
        {L"mail", L"mai", false},      {L"mai", L"mail", false}, {L"mail", L"", false},
        {L"\u00e9", L"\u00c9", false}, // é / É: outside A to Z
        {L"a[", L"A{", false},         // differ by 0x20 but are not letters
        {L"@", L"`", false},           {L"^", L"~", false},      {L"n1", L"N1", true},
        {L"n1", L"n2", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShortcutsEqual(c.a, c.b), c.equal) << '"' << std::string(c.a.begin(), c.a.end()) << '"';
        EXPECT_EQ(ShortcutsEqual(c.b, c.a), c.equal);
    }
}

TEST(Catalogue, FreshCatalogueHoldsTheDefaults)
{
    QuorvallisCommands catalogue;
    ASSERT_NO_FATAL_FAILURE(ExpectNewCatalogueFields(catalogue));
    EXPECT_FALSE(catalogue.shownOnce);
    EXPECT_FALSE(catalogue.pluginsManager);
    EXPECT_EQ(catalogue.previousKey, -1);
    EXPECT_EQ(catalogue.typingState, 0);
}

TEST(Catalogue, GroupsAndCommandsDrawFromOneCounter)
{
    QuorvallisCommands catalogue;
    GroupPtr sub = catalogue.AddSubgroup(catalogue.groups[0], L"Sub", 12);
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->id, 3);
    EXPECT_EQ(sub->iconIndex, 12);
    CommandPtr command = catalogue.AddCommand(3, L"Mail", L"n", 6, L"mail");
    ASSERT_TRUE(command);
    EXPECT_EQ(command->id, 4);
    EXPECT_EQ(command->groupId, 3);
    EXPECT_EQ(command->kind, CommandKind::Regular);
    EXPECT_TRUE(command->steps.empty());
    EXPECT_EQ(catalogue.AddSubgroup(sub, L"Deeper", 0)->id, 5);
    EXPECT_EQ(catalogue.lastId, 5);
    EXPECT_EQ(sub->commandIds, std::vector<int>{4});

    // The "Search results" group brings its own id.
    GroupPtr results = catalogue.AddTopGroup(2, L"Search results");
    ASSERT_TRUE(results);
    EXPECT_EQ(results->iconIndex, 21);
    EXPECT_EQ(catalogue.lastId, 5);
    EXPECT_FALSE(catalogue.AddTopGroup(2, L"again"));
    EXPECT_EQ(catalogue.groups.size(), 3u);

    EXPECT_FALSE(catalogue.AddSubgroup(GroupPtr(), L"orphan", 0));
    EXPECT_EQ(catalogue.lastId, 5);
}

TEST(Catalogue, AddCommandFailuresChangeNothing)
{
    QuorvallisCommands catalogue;
    GroupPtr deep = catalogue.AddSubgroup(catalogue.AddSubgroup(catalogue.groups[1], L"a", 0), L"b", 0);
    ASSERT_TRUE(catalogue.AddCommand(deep->id, L"Mail", L"", 0, L"mail")); // found at depth 2
    const int lastId = catalogue.lastId;

    EXPECT_FALSE(catalogue.AddCommand(0, L"Other", L"", 0, L"Mail"));
    EXPECT_FALSE(catalogue.AddCommand(0, L"Other", L"", 0, L"MAIL"));
    EXPECT_FALSE(catalogue.AddCommand(77, L"Other", L"", 0, L"other"));
    EXPECT_EQ(catalogue.lastId, lastId);
    EXPECT_EQ(catalogue.allCommands.size(), 1u);
    EXPECT_TRUE(catalogue.groups[0]->commandIds.empty());
    EXPECT_EQ(deep->commandIds.size(), 1u);

    EXPECT_TRUE(catalogue.AddCommand(0, L"Other", L"", 0, L"mails"));
}

TEST(Catalogue, InsertCommandGivesIdAndGroupOrLeavesTheRecordAlone)
{
    QuorvallisCommands catalogue;
    catalogue.AddCommand(0, L"Mail", L"", 0, L"mail");
    CommandPtr script(new QuorvallisCommand(-5, L"Script", L"", 4, 99, L"run"));
    script->kind = CommandKind::Script;
    ASSERT_TRUE(catalogue.InsertCommand(1, script));
    EXPECT_EQ(script->id, 4);
    EXPECT_EQ(script->groupId, 1);
    EXPECT_EQ(catalogue.groups[1]->commandIds, std::vector<int>{4});
    EXPECT_EQ(Ids(catalogue.allCommands), (std::vector<int>{3, 4}));

    CommandPtr clash(new QuorvallisCommand(-5, L"Clash", L"", 4, 99, L"MAIL"));
    EXPECT_FALSE(catalogue.InsertCommand(1, clash));
    CommandPtr lost(new QuorvallisCommand(-5, L"Lost", L"", 4, 99, L"lost"));
    EXPECT_FALSE(catalogue.InsertCommand(42, lost));
    EXPECT_FALSE(catalogue.InsertCommand(1, CommandPtr()));
    EXPECT_FALSE(catalogue.InsertCommand(0, script)); // already listed
    EXPECT_EQ(clash->id, -5);
    EXPECT_EQ(clash->groupId, 99);
    EXPECT_EQ(lost->groupId, 99);
    EXPECT_EQ(script->id, 4);
    EXPECT_EQ(catalogue.lastId, 4);
    EXPECT_EQ(catalogue.allCommands.size(), 2u);
}

TEST(Catalogue, FindCommandAndTimesExecuted)
{
    QuorvallisCommands catalogue;
    CommandPtr mail = catalogue.AddCommand(0, L"Mail", L"", 0, L"mail");
    EXPECT_EQ(catalogue.FindCommand(3), mail);
    EXPECT_FALSE(catalogue.FindCommand(0)); // a group id, not a command
    EXPECT_EQ(catalogue.TimesExecuted(3), 0);
    EXPECT_EQ(catalogue.TimesExecuted(42), -1);
}

namespace {

struct ReplaceFixture : ::testing::Test {
    QuorvallisCommands catalogue;
    CommandPtr a, b, c;
    GroupPtr other;
    void SetUp() override
    {
        other = catalogue.AddSubgroup(catalogue.groups[0], L"Other", 0); // id 3
        a = catalogue.AddCommand(0, L"A", L"", 0, L"a");                 // 4
        b = catalogue.AddCommand(0, L"B", L"", 0, L"b");                 // 5
        c = catalogue.AddCommand(other->id, L"C", L"", 0, L"c");         // 6
        a->timesExecuted = 7;
    }
};

} // namespace

TEST_F(ReplaceFixture, SameGroupReplacesInPlaceWithoutShortcutTest)
{
    CommandPtr edited = Copy(a);
    edited->shortcut = L"B";   // another command's shortcut: allowed in place
    edited->timesExecuted = 0; // stale copy
    ASSERT_TRUE(catalogue.ReplaceCommand(4, edited));
    EXPECT_EQ(catalogue.allCommands[0], edited);
    EXPECT_EQ(Ids(catalogue.allCommands), (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(edited->timesExecuted, 7);
    EXPECT_EQ(catalogue.lastId, 6);
    // Two shortcuts equal without regard to case: the earlier one wins.
    EXPECT_EQ(catalogue.FindCommandByShortcut(L"b"), edited);
}

TEST_F(ReplaceFixture, MovingToAnotherGroupReinsertsWithNewId)
{
    CommandPtr moved = Copy(a);
    moved->groupId = other->id;
    ASSERT_TRUE(catalogue.ReplaceCommand(4, moved)); // its own old shortcut is no clash
    EXPECT_EQ(moved->id, 7);
    EXPECT_EQ(moved->groupId, other->id);
    EXPECT_EQ(moved->timesExecuted, 7);
    EXPECT_EQ(Ids(catalogue.allCommands), (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(other->commandIds, (std::vector<int>{6, 7}));
    EXPECT_EQ(catalogue.groups[0]->commandIds, (std::vector<int>{4, 5}));
    EXPECT_FALSE(catalogue.FindCommand(4));
}

TEST_F(ReplaceFixture, FailedReplacementsKeepEverything)
{
    struct Case {
        const char* what;
        int id;
        int groupId;
        std::wstring shortcut;
        bool null;
    };
    const Case cases[] = {
        {"move onto another command's shortcut", 4, 3, L"C", false},
        {"move onto a case variant", 4, 3, L"B", false},
        {"move to an unknown group", 4, 42, L"a", false},
        {"unknown command", 42, 0, L"a", false},
        {"no replacement", 4, 0, L"a", true},
    };
    for (const Case& row : cases) {
        CommandPtr replacement;
        if (!row.null) {
            replacement = Copy(a);
            replacement->groupId = row.groupId;
            replacement->shortcut = row.shortcut;
            replacement->timesExecuted = 0;
        }
        EXPECT_FALSE(catalogue.ReplaceCommand(row.id, replacement)) << row.what;
        EXPECT_EQ(catalogue.allCommands, (std::vector<CommandPtr>{a, b, c})) << row.what;
        EXPECT_EQ(catalogue.lastId, 6) << row.what;
        EXPECT_EQ(other->commandIds, std::vector<int>{6}) << row.what;
        if (replacement) {
            EXPECT_EQ(replacement->id, 4) << row.what;
            EXPECT_EQ(replacement->timesExecuted, 0) << row.what;
        }
    }
    // A record listed elsewhere would end up listed twice.
    EXPECT_FALSE(catalogue.ReplaceCommand(4, b));
    EXPECT_EQ(catalogue.allCommands, (std::vector<CommandPtr>{a, b, c}));
}

TEST_F(ReplaceFixture, RemoveCommandKeepsItsIdInTheGroup)
{
    EXPECT_TRUE(catalogue.RemoveCommand(5));
    EXPECT_FALSE(catalogue.RemoveCommand(5));
    EXPECT_EQ(Ids(catalogue.allCommands), (std::vector<int>{4, 6}));
    EXPECT_EQ(catalogue.groups[0]->commandIds, (std::vector<int>{4, 5}));
    EXPECT_FALSE(catalogue.FindCommandByShortcut(L"b"));
}

TEST(Catalogue, RemoveGroupTakesSubtreeAndItsCommands)
{
    QuorvallisCommands catalogue;
    GroupPtr sub = catalogue.AddSubgroup(catalogue.groups[0], L"Sub", 0);     // 3
    GroupPtr subsub = catalogue.AddSubgroup(sub, L"SubSub", 0);               // 4
    GroupPtr sibling = catalogue.AddSubgroup(catalogue.groups[0], L"Sib", 0); // 5
    catalogue.AddCommand(0, L"Top", L"", 0, L"top");
    catalogue.AddCommand(4, L"Deep", L"", 0, L"deep");
    catalogue.AddCommand(5, L"Sib", L"", 0, L"sib");
    catalogue.AddCommand(1, L"Script", L"", 0, L"script");

    EXPECT_FALSE(catalogue.RemoveGroup(42));
    EXPECT_EQ(catalogue.allCommands.size(), 4u);

    // The search results go on every search: without a command going, the
    // shortcut index is not built again on the next key.
    ASSERT_TRUE(catalogue.FindCommandByShortcut(L"deep"));
    const std::uint64_t builds = catalogue.IndexBuilds();
    ASSERT_TRUE(catalogue.AddTopGroup(2, L"Search results"));
    EXPECT_TRUE(catalogue.RemoveGroup(2));
    EXPECT_TRUE(catalogue.FindCommandByShortcut(L"deep"));
    EXPECT_EQ(catalogue.IndexBuilds(), builds);

    EXPECT_TRUE(catalogue.RemoveGroup(3));
    EXPECT_FALSE(catalogue.FindGroup(3));
    EXPECT_FALSE(catalogue.FindGroup(4));
    EXPECT_TRUE(catalogue.FindGroup(5));
    EXPECT_FALSE(catalogue.FindCommandByShortcut(L"deep"));
    EXPECT_EQ(catalogue.IndexBuilds(), builds + 1);
    EXPECT_TRUE(catalogue.FindCommandByShortcut(L"sib"));
    EXPECT_EQ(catalogue.allCommands.size(), 3u);

    EXPECT_TRUE(catalogue.RemoveGroup(0)); // "General" may go like any group
    ASSERT_EQ(catalogue.groups.size(), 1u);
    EXPECT_EQ(catalogue.groups[0]->id, 1);
    EXPECT_FALSE(catalogue.FindCommandByShortcut(L"TOP"));
    EXPECT_FALSE(catalogue.FindCommandByShortcut(L"sib"));
    ASSERT_EQ(catalogue.allCommands.size(), 1u);
    EXPECT_EQ(catalogue.allCommands[0]->shortcut, L"script");
    EXPECT_FALSE(catalogue.RemoveGroup(0));
    // A later command gets a group again only where one exists.
    EXPECT_FALSE(catalogue.AddCommand(0, L"Top", L"", 0, L"top"));
}

TEST(Catalogue, SearchIsCaseSensitiveOverNameAndShortcut)
{
    QuorvallisCommands catalogue;
    catalogue.AddCommand(0, L"Notes", L"", 0, L"n1");
    catalogue.AddCommand(0, L"NOTES", L"", 0, L"n2");
    catalogue.AddCommand(0, L"Calc", L"", 0, L"remote");
    catalogue.AddCommand(0, L"Mail", L"ote in notes", 0, L"mail"); // notes are not searched

    EXPECT_EQ(catalogue.SearchCommands(L"ote"), 2);
    EXPECT_EQ(Ids(catalogue.searchResults), (std::vector<int>{3, 5}));
    EXPECT_EQ(catalogue.SearchCommands(L"OTE"), 1);
    EXPECT_EQ(Ids(catalogue.searchResults), (std::vector<int>{4}));
    EXPECT_EQ(catalogue.SearchCommands(L"n"), 2); // the shortcuts n1, n2; "Notes" has a capital N
    EXPECT_EQ(catalogue.SearchCommands(L"zzz"), 0);
    EXPECT_TRUE(catalogue.searchResults.empty());
    EXPECT_EQ(catalogue.SearchCommands(L""), 4);
    EXPECT_EQ(Ids(catalogue.searchResults), (std::vector<int>{3, 4, 5, 6}));
}

// Searches run over a copy of the names and shortcuts; every way the list or
// a record can change between two searches shows in the next one.
TEST(Catalogue, SearchSeesEveryChangeSinceTheLastSearch)
{
    QuorvallisCommands catalogue;
    CommandPtr alpha = catalogue.AddCommand(0, L"alpha", L"", 0, L"a1"); // 3
    CommandPtr beta = catalogue.AddCommand(0, L"beta", L"", 0, L"b1");   // 4
    catalogue.AddCommand(1, L"gamma", L"", 0, L"alphabet");              // 5
    auto search = [&](const std::wstring& text) {
        catalogue.SearchCommands(text);
        return Ids(catalogue.searchResults);
    };
    EXPECT_EQ(search(L"alpha"), (std::vector<int>{3, 5}));
    EXPECT_EQ(search(L"a"), (std::vector<int>{3, 4, 5})) << "a command whose fields both match is listed once";
    // "alpha" ends and "a1" begins with an a.
    EXPECT_EQ(search(std::wstring(L"a\0a", 3)), (std::vector<int>{})) << "no hit across name and shortcut";

    // Added and removed.
    catalogue.AddCommand(0, L"alpine", L"", 0, L"al"); // 6
    EXPECT_EQ(search(L"alp"), (std::vector<int>{3, 5, 6}));
    ASSERT_TRUE(catalogue.RemoveCommand(3));
    EXPECT_EQ(search(L"alp"), (std::vector<int>{5, 6}));

    // Replaced by an edited copy, and edited in place then handed back.
    CommandPtr edited = Copy(beta);
    edited->name = L"alpaca";
    ASSERT_TRUE(catalogue.ReplaceCommand(4, edited));
    EXPECT_EQ(search(L"alp"), (std::vector<int>{4, 5, 6}));
    edited->shortcut = L"zz";
    edited->name = L"zebra";
    ASSERT_TRUE(catalogue.ReplaceCommand(4, edited));
    EXPECT_EQ(search(L"alp"), (std::vector<int>{5, 6}));
    EXPECT_EQ(search(L"zz"), (std::vector<int>{4}));

    // The last record removed and a new one added in its place, where the
    // freed memory may well be used again.
    ASSERT_TRUE(catalogue.RemoveCommand(6));
    alpha.reset();
    beta.reset();
    catalogue.AddCommand(0, L"delta", L"", 0, L"d1"); // 7
    EXPECT_EQ(search(L"alp"), (std::vector<int>{5}));
    EXPECT_EQ(search(L"delta"), (std::vector<int>{7}));

    // A list as a file gives it, and a group removed with its commands.
    AppendAsRead(catalogue, CommandPtr());
    AppendAsRead(catalogue, CommandPtr(new QuorvallisCommand(40, L"omega", L"", 0, 0, L"o")));
    EXPECT_EQ(search(L"ega"), (std::vector<int>{40}));
    EXPECT_EQ(catalogue.SearchCommands(L""), 4) << "an empty text lists every command, not the empty places";
    ASSERT_TRUE(catalogue.RemoveGroup(1));
    EXPECT_EQ(search(L"alp"), (std::vector<int>{}));
}

TEST(Catalogue, ShortcutLookupTakesTheFirstWholeMatch)
{
    QuorvallisCommands catalogue;
    CommandPtr notepad = catalogue.AddCommand(0, L"Notepad", L"", 0, L"notepad");
    EXPECT_EQ(catalogue.FindCommandByShortcut(L"NOTEPAD"), notepad);
    EXPECT_FALSE(catalogue.FindCommandByShortcut(L"note"));
    EXPECT_FALSE(catalogue.FindCommandByShortcut(L"notepads"));
    EXPECT_FALSE(catalogue.FindCommandByShortcut(L""));
}

TEST(Catalogue, AdoptStoredFieldsTakesEveryStoredField)
{
    QuorvallisCommands target;
    target.AddCommand(0, L"Old", L"", 0, L"old");
    target.previousKey = 65;
    target.typingState = 2;

    QuorvallisCommands read;
    read.groups.clear();
    read.groups.push_back(GroupPtr(new CommandGroup(9, 1, L"Read")));
    AppendAsRead(read, CommandPtr(new QuorvallisCommand(10, L"N", L"", 0, 9, L"new")));
    read.reserved = 3;
    read.lastId = 10;
    read.enableOnStart = false;
    read.autoStart = true;
    read.firstControlKey = 16;
    read.secondControlKey = 18;
    read.lastSelectedGroupId = 9;
    read.shownOnce = true;

    target.AdoptStoredFields(read);
    EXPECT_EQ(target.reserved, 3);
    EXPECT_EQ(target.lastId, 10);
    EXPECT_EQ(target.allCommands, read.allCommands);
    EXPECT_EQ(target.groups, read.groups);
    EXPECT_FALSE(target.enableOnStart);
    EXPECT_TRUE(target.autoStart);
    EXPECT_EQ(target.firstControlKey, 16u);
    EXPECT_EQ(target.secondControlKey, 18u);
    EXPECT_EQ(target.lastSelectedGroupId, 9);
    EXPECT_TRUE(target.shownOnce);
    EXPECT_EQ(target.previousKey, 65);
    EXPECT_EQ(target.typingState, 2);
    EXPECT_FALSE(target.FindCommandByShortcut(L"old"));
    EXPECT_TRUE(target.FindCommandByShortcut(L"NEW"));
    EXPECT_EQ(target.AddCommand(9, L"x", L"", 0, L"x")->id, 11);
}

// New ids never collide with stored ones: a counter read from a file below
// the ids in it is raised. At the largest int nothing more gets an id.
TEST(Catalogue, TheCounterStaysAboveEveryIdInUseAndNeverWraps)
{
    QuorvallisCommands read;
    read.lastId = 1;
    GroupPtr sub(new CommandGroup(40, 0, L"Sub"));
    sub->subgroups.push_back(GroupPtr(new CommandGroup(41, 0, L"Deeper")));
    read.groups[1]->subgroups.push_back(sub);
    AppendAsRead(read, CommandPtr(new QuorvallisCommand(30, L"A", L"", 0, 41, L"a")));
    QuorvallisCommands catalogue;
    catalogue.AdoptStoredFields(read);
    EXPECT_EQ(catalogue.lastId, 41);
    EXPECT_EQ(catalogue.AddCommand(0, L"B", L"", 0, L"b")->id, 42);

    QuorvallisCommands negative;
    negative.lastId = -7;
    catalogue.AdoptStoredFields(negative);
    EXPECT_EQ(catalogue.lastId, 2) << "the reserved ids stay reserved";

    CommandPtr listed = catalogue.AddCommand(0, L"C", L"", 0, L"c");
    catalogue.lastId = INT_MAX;
    EXPECT_FALSE(catalogue.AddCommand(0, L"D", L"", 0, L"d"));
    EXPECT_FALSE(catalogue.AddSubgroup(catalogue.groups[0], L"G", 0));
    EXPECT_FALSE(catalogue.InsertCommand(0, CommandPtr(new QuorvallisCommand(0, L"E", L"", 0, 0, L"e"))));
    CommandPtr moved(new QuorvallisCommand(*listed));
    moved->groupId = 1;
    EXPECT_FALSE(catalogue.ReplaceCommand(listed->id, moved));
    EXPECT_EQ(catalogue.lastId, INT_MAX);
    EXPECT_EQ(Ids(catalogue.allCommands), std::vector<int>{listed->id});
    EXPECT_TRUE(catalogue.groups[0]->subgroups.empty());
}

// A group deeper than the file can hold is refused, so that every later
// save still succeeds.
TEST(Catalogue, SubgroupsNestNoDeeperThanTheFileHolds)
{
    QuorvallisCommands catalogue;
    GroupPtr parent = catalogue.groups[0];
    for (int depth = 2; depth <= QuorvallisCommands::kMaxGroupDepth; ++depth) {
        parent = catalogue.AddSubgroup(parent, L"g", 0);
        ASSERT_TRUE(parent) << "depth " << depth;
    }
    const int lastId = catalogue.lastId;
    EXPECT_FALSE(catalogue.AddSubgroup(parent, L"too deep", 0));
    EXPECT_EQ(catalogue.lastId, lastId);
    EXPECT_TRUE(parent->subgroups.empty());
    std::wstring problem;
    EXPECT_TRUE(CatalogueConsistency::Check(catalogue, problem)) << std::string(problem.begin(), problem.end());
    // A sibling higher up is still fine.
    EXPECT_TRUE(catalogue.AddSubgroup(catalogue.groups[1], L"shallow", 0));
}

// An edit takes its record's place in one step: same id, same place, its
// count, the shortcut index and a running copy's count follow it. What would
// hide another command, or land in no group, is refused and changes nothing.
TEST(Catalogue, UpdateCommandReplacesInPlaceOrRefusesLeavingTheRecord)
{
    QuorvallisCommands catalogue;
    CommandPtr mail = catalogue.AddCommand(0, L"Mail", L"", 0, L"mail", StepType::OpenWebPage, L"http://m");
    CommandPtr notes = catalogue.AddCommand(0, L"Notes", L"", 0, L"notes", StepType::OpenWebPage, L"http://n");
    ASSERT_TRUE(mail && notes && mail->steps.size() == 1);
    // A file may already hold two commands with one shortcut.
    CommandPtr twin(new QuorvallisCommand(9, L"Twin", L"", 0, 1, L"NOTES"));
    AppendAsRead(catalogue, twin);
    mail->timesExecuted = 5;

    struct Case {
        const char* what;
        int id;
        std::wstring shortcut;
        int groupId;
        bool accepted;
    };
    const Case cases[] = {
        {"no such command", 99, L"x", 0, false},
        {"group gone", mail->id, L"mail", 77, false},
        {"another's shortcut in other letters", mail->id, L"Notes", 0, false},
        {"a duplicate kept as it was", twin->id, L"notes", 0, true},
        {"own shortcut in other letters", mail->id, L"MAIL", 0, true},
        {"new shortcut and group", mail->id, L"post", 1, true},
    };
    for (const Case& c : cases) {
        const CommandPtr before = catalogue.FindCommand(c.id);
        const std::vector<CommandPtr> list = catalogue.allCommands;
        CommandPtr edited(new QuorvallisCommand(before ? *before : QuorvallisCommand()));
        edited->shortcut = c.shortcut;
        edited->groupId = c.groupId;
        edited->timesExecuted = 0;
        EXPECT_EQ(catalogue.UpdateCommand(c.id, edited), c.accepted) << c.what;
        if (!c.accepted) {
            EXPECT_EQ(catalogue.allCommands, list) << c.what;
            continue;
        }
        std::vector<CommandPtr> expected = list;
        std::replace(expected.begin(), expected.end(), before, edited);
        EXPECT_EQ(catalogue.allCommands, expected) << c.what;
        EXPECT_EQ(edited->id, c.id) << c.what;
        EXPECT_EQ(edited->timesExecuted, before->timesExecuted) << c.what;
    }
    // The index follows: the new shortcut finds the record, the old one nothing.
    EXPECT_EQ(catalogue.FindCommandByShortcut(L"POST"), catalogue.FindCommand(mail->id));
    EXPECT_FALSE(catalogue.FindCommandByShortcut(L"mail"));
    EXPECT_EQ(catalogue.FindCommandByShortcut(L"notes"), notes) << "the first of the duplicates runs";
    EXPECT_EQ(catalogue.groups[1]->commandIds, std::vector<int>{mail->id});
    EXPECT_EQ(catalogue.groups[0]->commandIds, (std::vector<int>{notes->id, twin->id}));
    // A run of the record that was replaced counts for the one in its place.
    catalogue.RecordSuccessfulRun(mail);
    EXPECT_EQ(catalogue.TimesExecuted(mail->id), 6);
    EXPECT_EQ(catalogue.ShortcutHolder(L"Notes", notes->id), catalogue.FindCommand(twin->id));
    EXPECT_EQ(catalogue.ShortcutHolder(L"post", mail->id), CommandPtr());
}

// A snapshot shares the records and copies the groups: what the catalogue
// does afterwards does not reach it, except counts raised by runs.
TEST(Catalogue, StoredSnapshotKeepsTheStateItWasTakenIn)
{
    QuorvallisCommands catalogue;
    catalogue.firstControlKey = 116;
    GroupPtr work = catalogue.AddSubgroup(catalogue.groups[0], L"Work", 5);
    CommandPtr mail = catalogue.AddCommand(work->id, L"Mail", L"", 0, L"mail", StepType::OpenWebPage, L"http://m");
    const auto snapshot = catalogue.StoredSnapshot();

    work->name = L"Office";
    catalogue.AddSubgroup(work, L"Later", 0);
    catalogue.AddCommand(work->id, L"Later", L"", 0, L"later", StepType::OpenWebPage, L"http://l");
    catalogue.firstControlKey = 17;
    catalogue.RecordSuccessfulRun(mail);

    EXPECT_EQ(snapshot->allCommands, std::vector<CommandPtr>{mail});
    EXPECT_EQ(snapshot->allCommands[0]->timesExecuted, 1);
    const GroupPtr copy = snapshot->groups.at(0)->subgroups.at(0);
    EXPECT_NE(copy, work);
    EXPECT_EQ(copy->name, L"Work");
    EXPECT_TRUE(copy->subgroups.empty());
    EXPECT_EQ(copy->commandIds, std::vector<int>{mail->id});
    EXPECT_EQ(snapshot->lastId, mail->id);
    EXPECT_EQ(snapshot->firstControlKey, 116u);
}
