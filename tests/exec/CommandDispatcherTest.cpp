#include "exec/CommandDispatcher.h"

#include "catalogue/QuorvallisCommands.h"
#include "ExecFakes.h"

#include <gtest/gtest.h>

namespace {

using Calls = std::vector<std::wstring>;

class CommandDispatcherTest : public testing::Test {
protected:
    CommandDispatcherTest()
    {
        catalogue.SetMainWindow(&windowStandIn);
        notepad = catalogue.AddCommand(0, L"Notepad", L"", -1, L"notepad");
        notepad->SetRegularStep(StepType::OpenExecutable, L"notepad.exe %%");
        empty = catalogue.AddCommand(1, L"Nothing", L"", -1, L"nop");
        failing = catalogue.AddCommand(1, L"Broken", L"", -1, L"broken");
        failing->steps = {MakeStep(StepType::OpenWebPage, L"first"), MakePauseStep(0)};
    }

    bool Run(const std::wstring& line) { return dispatcher.RunTypedLine(catalogue, line); }

    int windowStandIn = 0;
    QuorvallisCommands catalogue;
    CommandPtr notepad, empty, failing;
    RecordingStepPlatform platform;
    RecordingKeystrokePlayer player;
    RecordingNotifier notifier;
    CommandDispatcher dispatcher{platform, platform, player, notifier};
};

TEST_F(CommandDispatcherTest, ShortcutMatchesWithoutRegardToCase)
{
    EXPECT_TRUE(Run(L"NOTEPAD readme.txt"));
    EXPECT_EQ(platform.calls, (Calls{L"start notepad.exe readme.txt"}));
    EXPECT_EQ(notepad->timesExecuted, 1);
    ASSERT_EQ(notifier.notices.size(), 1u);
    EXPECT_EQ(notifier.notices[0].first, &windowStandIn);
    EXPECT_EQ(notifier.notices[0].second, notepad->id);
}

TEST_F(CommandDispatcherTest, PrefixOrUnknownShortcutRunsNothing)
{
    for (const wchar_t* line : {L"note x", L"notepads x", L"unknown", L"\"notepad\" x"}) {
        EXPECT_FALSE(Run(line)) << line;
    }
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_TRUE(notifier.notices.empty());
    EXPECT_EQ(notepad->timesExecuted, 0);
}

TEST_F(CommandDispatcherTest, EmptyOrBlankLineRunsNothing)
{
    EXPECT_FALSE(Run(L""));
    EXPECT_FALSE(Run(L"    "));
    EXPECT_TRUE(notifier.notices.empty());
}

TEST_F(CommandDispatcherTest, LeadingSpacesAndQuotedArgumentsReachTheStep)
{
    EXPECT_TRUE(Run(L"   notepad \"my file.txt\"  "));
    EXPECT_EQ(platform.calls, (Calls{L"start notepad.exe \"my file.txt\""}));
}

TEST_F(CommandDispatcherTest, FailingCommandIsNotCountedNorReported)
{
    EXPECT_FALSE(Run(L"broken"));
    EXPECT_EQ(platform.calls, (Calls{L"open first"}));
    EXPECT_EQ(failing->timesExecuted, 0);
    EXPECT_TRUE(notifier.notices.empty());
}

TEST_F(CommandDispatcherTest, TooFewArgumentsFailSilently)
{
    EXPECT_FALSE(Run(L"notepad"));
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_EQ(notepad->timesExecuted, 0);
}

TEST_F(CommandDispatcherTest, CommandWithoutStepsIsCounted)
{
    EXPECT_TRUE(Run(L"nop"));
    EXPECT_TRUE(Run(L"Nop extra words"));
    EXPECT_EQ(empty->timesExecuted, 2);
    EXPECT_EQ(catalogue.TimesExecuted(empty->id), 2);
    ASSERT_EQ(notifier.notices.size(), 2u);
    EXPECT_EQ(notifier.notices[1].second, empty->id);
}

TEST_F(CommandDispatcherTest, EarlierOfTwoCaseTwinsWins)
{
    // Only an in-place edit can make two shortcuts equal.
    CommandPtr twin(new QuorvallisCommand(*empty));
    twin->shortcut = L"NOTEPAD";
    ASSERT_TRUE(catalogue.ReplaceCommand(empty->id, twin));
    EXPECT_TRUE(Run(L"Notepad x"));
    EXPECT_EQ(notepad->timesExecuted, 1);
    EXPECT_EQ(twin->timesExecuted, 0);
}

TEST_F(CommandDispatcherTest, CommandRemovedWhileItRunsFinishesItsSteps)
{
    CommandPtr script = catalogue.AddCommand(1, L"Script", L"", -1, L"script");
    script->steps = {MakeStep(StepType::EchoString, L"hello"), MakeStep(StepType::OpenWebPage, L"after")};
    const int id = script->id;
    player.whilePlaying = [&] { catalogue.RemoveCommand(id); };
    script.reset(); // only the catalogue and the running line hold it now

    EXPECT_TRUE(Run(L"script"));
    EXPECT_EQ(platform.calls, (Calls{L"open after"}));
    EXPECT_FALSE(catalogue.FindCommand(id));
    EXPECT_FALSE(Run(L"script"));
}

TEST_F(CommandDispatcherTest, ScriptMovedWhileItRunsIsReportedByItsNewId)
{
    CommandPtr script = catalogue.AddCommand(1, L"Script", L"", -1, L"script");
    script->steps = {MakeStep(StepType::EchoString, L"hello")};
    CommandPtr moved(new QuorvallisCommand(*script));
    moved->groupId = 0;
    player.whilePlaying = [&] { ASSERT_TRUE(catalogue.ReplaceCommand(script->id, moved)); };

    EXPECT_TRUE(Run(L"script"));
    ASSERT_EQ(notifier.notices.size(), 1u);
    EXPECT_NE(notifier.notices[0].second, script->id);
    EXPECT_EQ(notifier.notices[0].second, moved->id);
}

} // namespace
