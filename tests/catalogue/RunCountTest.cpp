#include "catalogue/QuorvallisCommands.h"

#include <gtest/gtest.h>

#include <memory>

// A worker holds the record it found while the command runs; the user may
// edit or remove that command meanwhile. These cases play that interleaving
// on one thread.
namespace {

CommandPtr EditedCopy(const CommandPtr& command)
{
    CommandPtr copy(new QuorvallisCommand(*command));
    copy->notes += L" edited";
    return copy;
}

struct RunCount : ::testing::Test {
    QuorvallisCommands catalogue;
    CommandPtr mail;
    void SetUp() override { mail = catalogue.AddCommand(0, L"Mail", L"", 0, L"mail"); }
};

} // namespace

TEST_F(RunCount, PlainRunsCount)
{
    CommandPtr running = catalogue.FindCommandByShortcut(L"MAIL");
    catalogue.RecordSuccessfulRun(running);
    catalogue.RecordSuccessfulRun(running);
    EXPECT_EQ(catalogue.TimesExecuted(mail->id), 2);
    catalogue.RecordSuccessfulRun(CommandPtr()); // nothing to count
    EXPECT_EQ(catalogue.TimesExecuted(mail->id), 2);
}

TEST_F(RunCount, RunOfAReplacedRecordCountsForItsSuccessor)
{
    CommandPtr running = catalogue.FindCommandByShortcut(L"mail");
    CommandPtr edited = EditedCopy(mail);
    catalogue.RecordSuccessfulRun(catalogue.FindCommandByShortcut(L"mail")); // after the copy was made
    ASSERT_TRUE(catalogue.ReplaceCommand(mail->id, edited));
    EXPECT_EQ(catalogue.TimesExecuted(mail->id), 1); // the stale copy's 0 is not taken

    EXPECT_EQ(catalogue.RecordSuccessfulRun(running), edited) << "the record counted";
    EXPECT_EQ(catalogue.TimesExecuted(mail->id), 2);
    EXPECT_EQ(edited->timesExecuted, 2);
}

TEST_F(RunCount, CountsFollowAChainOfEditsAndMoves)
{
    GroupPtr other = catalogue.AddSubgroup(catalogue.groups[0], L"Other", 0);
    CommandPtr first = mail;
    CommandPtr second = EditedCopy(first);
    ASSERT_TRUE(catalogue.ReplaceCommand(first->id, second));
    CommandPtr third = EditedCopy(second);
    third->groupId = other->id; // a move: new id, end of the list
    ASSERT_TRUE(catalogue.ReplaceCommand(second->id, third));
    second.reset(); // the middle record is gone for good
    CommandPtr fourth = EditedCopy(third);
    ASSERT_TRUE(catalogue.ReplaceCommand(third->id, fourth));

    catalogue.RecordSuccessfulRun(first);
    catalogue.RecordSuccessfulRun(third);
    catalogue.RecordSuccessfulRun(fourth);
    EXPECT_EQ(catalogue.TimesExecuted(fourth->id), 3);
    EXPECT_EQ(catalogue.allCommands.size(), 1u);
}

TEST_F(RunCount, PuttingTheOldRecordBackCountsEachRunOnce)
{
    CommandPtr original = mail;
    CommandPtr edited = EditedCopy(original);
    ASSERT_TRUE(catalogue.ReplaceCommand(original->id, edited));
    ASSERT_TRUE(catalogue.ReplaceCommand(original->id, original)); // undo the edit

    catalogue.RecordSuccessfulRun(original);
    EXPECT_EQ(catalogue.TimesExecuted(original->id), 1);
    EXPECT_EQ(original->timesExecuted, 1);
    catalogue.RecordSuccessfulRun(edited); // ran while it was in the list
    EXPECT_EQ(catalogue.TimesExecuted(original->id), 2);
}

TEST_F(RunCount, RunOfARemovedCommandCountsNowhere)
{
    CommandPtr other = catalogue.AddCommand(0, L"Other", L"", 0, L"other");
    CommandPtr running = mail;
    CommandPtr edited = EditedCopy(mail);
    ASSERT_TRUE(catalogue.ReplaceCommand(mail->id, edited));
    ASSERT_TRUE(catalogue.RemoveCommand(edited->id));
    catalogue.RecordSuccessfulRun(running);
    EXPECT_EQ(catalogue.TimesExecuted(other->id), 0);
    EXPECT_EQ(catalogue.TimesExecuted(edited->id), -1);
    // A new command with the same shortcut starts from zero.
    CommandPtr again = catalogue.AddCommand(0, L"Mail", L"", 0, L"mail");
    ASSERT_TRUE(again);
    catalogue.RecordSuccessfulRun(running);
    EXPECT_EQ(again->timesExecuted, 0);
}

TEST_F(RunCount, NewRecordsAreNotMistakenForReplacedOnes)
{
    // Many replaced records that nobody holds any more: a record created
    // afterwards (which may reuse an old address) counts for itself.
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(catalogue.ReplaceCommand(mail->id, EditedCopy(catalogue.FindCommand(mail->id))));
    }
    CommandPtr current = catalogue.FindCommand(mail->id);
    for (int i = 0; i < 50; ++i) {
        CommandPtr fresh = catalogue.AddCommand(0, L"F", L"", 0, L"f" + std::to_wstring(i));
        catalogue.RecordSuccessfulRun(fresh);
        EXPECT_EQ(fresh->timesExecuted, 1);
        ASSERT_TRUE(catalogue.RemoveCommand(fresh->id));
    }
    EXPECT_EQ(current->timesExecuted, 0);
}

TEST_F(RunCount, ReplacedRecordsAreReleasedOnceNobodyRunsThem)
{
    boost::weak_ptr<QuorvallisCommand> released(mail);
    CommandPtr held = catalogue.FindCommandByShortcut(L"mail"); // a worker runs it
    ASSERT_TRUE(catalogue.ReplaceCommand(3, CommandPtr(new QuorvallisCommand(*mail))));
    mail.reset();
    held.reset();
    CommandPtr runner = catalogue.FindCommandByShortcut(L"mail");
    ASSERT_TRUE(catalogue.ReplaceCommand(3, CommandPtr(new QuorvallisCommand(*runner))));
    ASSERT_TRUE(catalogue.ReplaceCommand(3, CommandPtr(new QuorvallisCommand(*runner))));
    EXPECT_TRUE(released.expired()); // the bookkeeping let go of it
    catalogue.RecordSuccessfulRun(runner);
    runner.reset();
    ASSERT_TRUE(catalogue.ReplaceCommand(3, CommandPtr(new QuorvallisCommand(*catalogue.FindCommand(3)))));
    EXPECT_EQ(catalogue.TimesExecuted(3), 1);
}
