#include "exec/StepExecutor.h"

#include "ExecFakes.h"
#include "plugins/QuorvallisPluginsManager.h"
#include "tests/plugins/FakePluginLibraries.h"

#include <boost/make_shared.hpp>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::wstring>;

// ---- Placeholder filling --------------------------------------------------

struct FillCase {
    const char* name;
    std::wstring text;
    ArgumentList arguments;
    bool filled;
    std::wstring result; // when filled
    ArgumentList left;   // arguments after the call
};

class FillPlaceholdersTable : public testing::TestWithParam<FillCase> {};

TEST_P(FillPlaceholdersTable, FillsFromTheFront)
{
    const FillCase& c = GetParam();
    ArgumentList arguments = c.arguments;
    std::wstring result = L"untouched";
    EXPECT_EQ(StepExecutor::FillPlaceholders(c.text, arguments, result), c.filled);
    EXPECT_EQ(result, c.filled ? c.result : L"untouched");
    EXPECT_EQ(arguments, c.left);
}

const FillCase kFillCases[] = {
    {"OnePlaceholderLeavesTheRest", L"http://x/?q=%%", {L"abc", L"def"}, true, L"http://x/?q=abc", {L"def"}},
    {"NoPlaceholderNoArguments", L"notepad.exe", {}, true, L"notepad.exe", {}},
    {"NoPlaceholderKeepsArguments", L"calc", {L"a"}, true, L"calc", {L"a"}},
    {"TwoPlaceholdersInOrder", L"%%+%%", {L"1", L"2", L"3"}, true, L"1+2", {L"3"}},
    {"ThreePercentLeaveOne", L"%%%", {L"a"}, true, L"a%", {}},
    {"FourPercentAreTwoPlaceholders", L"%%%%", {L"a", L"b"}, true, L"ab", {}},
    {"ArgumentPlaceholderTakesTheNextArgument", L"go %%!", {L"x%%y", L"z"}, true, L"go xzy!", {}},
    {"ArgumentEndingInPercentJoinsTheNext", L"%%%", {L"5%", L"b"}, true, L"5b", {}},
    {"QuotesStayAsTyped", L"open %%", {L"\"two words\""}, true, L"open \"two words\"", {}},
    {"LonePercentIsText", L"100%", {}, true, L"100%", {}},
    {"EmptyText", L"", {L"a"}, true, L"", {L"a"}},
    {"EmptyArgument", L"[%%]", {L""}, true, L"[]", {}},
    {"NoArgumentForThePlaceholder", L"x %%", {}, false, L"", {}},
    {"SecondPlaceholderMissesLeavesAllArguments", L"%% %%", {L"a"}, false, L"", {L"a"}},
    {"ArgumentPlaceholderWithNothingAfter", L"%%", {L"%%"}, false, L"", {L"%%"}},
};

INSTANTIATE_TEST_SUITE_P(Texts, FillPlaceholdersTable, testing::ValuesIn(kFillCases),
                         [](const testing::TestParamInfo<FillCase>& row) { return row.param.name; });

// ---- Running steps ----------------------------------------------------------

class StepExecutorTest : public testing::Test {
protected:
    bool Run(std::vector<StepPtr> steps, ArgumentList tokens)
    {
        command.steps = std::move(steps);
        tokensAfter = tokens;
        return executor.RunCommandSteps(command, tokensAfter, nullptr);
    }

    RecordingStepPlatform platform;
    RecordingKeystrokePlayer player;
    StepExecutor executor{platform, platform, player};
    QuorvallisCommand command{3, L"name", L"", -1, 0, L"go"};
    ArgumentList tokensAfter;
};

TEST_F(StepExecutorTest, CommandWithoutStepsSucceeds)
{
    EXPECT_TRUE(Run({}, {L"go", L"extra"}));
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(StepExecutorTest, EmptyTokenListFailsEvenWithoutSteps)
{
    EXPECT_FALSE(Run({}, {}));
    EXPECT_FALSE(Run({MakeStep(StepType::OpenWebPage, L"x")}, {}));
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(StepExecutorTest, ShortcutIsNotAnArgument)
{
    EXPECT_FALSE(Run({MakeStep(StepType::OpenWebPage, L"%%")}, {L"go"}));
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(StepExecutorTest, StepsUseSuccessiveArguments)
{
    EXPECT_TRUE(Run({MakeStep(StepType::OpenWebPage, L"http://a/%%"),
                     MakeStep(StepType::OpenExecutable, L"p.exe %% %%"), MakeStep(StepType::EchoString, L"%%%")},
                    {L"go", L"1", L"2", L"3", L"4", L"5"}));
    EXPECT_EQ(platform.calls, (Calls{L"open http://a/1", L"start p.exe 2 3"}));
    // The remaining percent sign is left for the keystroke language.
    EXPECT_EQ(player.played, (Calls{L"4%"}));
    EXPECT_EQ(tokensAfter, (ArgumentList{L"5"}));
}

TEST_F(StepExecutorTest, SecondStepWithoutArgumentFailsAfterTheFirstRan)
{
    const std::vector<StepPtr> steps = {MakeStep(StepType::OpenWebPage, L"a%%"),
                                        MakeStep(StepType::OpenWebPage, L"b%%")};
    EXPECT_TRUE(Run(steps, {L"go", L"1", L"2"}));
    EXPECT_EQ(platform.calls, (Calls{L"open a1", L"open b2"}));

    platform.calls.clear();
    EXPECT_FALSE(Run(steps, {L"go", L"1"}));
    EXPECT_EQ(platform.calls, (Calls{L"open a1"}));
}

TEST_F(StepExecutorTest, FailingStepStopsTheScript)
{
    const std::vector<StepPtr> steps = {MakeStep(StepType::OpenWebPage, L"first"), MakePauseStep(0),
                                        MakeStep(StepType::OpenWebPage, L"never")};
    EXPECT_FALSE(Run(steps, {L"go"}));
    EXPECT_EQ(platform.calls, (Calls{L"open first"}));
}

TEST_F(StepExecutorTest, RefusalsOfTheSystemFailTheStep)
{
    platform.shellAccepts = false;
    EXPECT_FALSE(Run({MakeStep(StepType::OpenWebPage, L"x"), MakePauseStep(5)}, {L"go"}));
    platform.processStarts = false;
    EXPECT_FALSE(Run({MakeStep(StepType::OpenExecutable, L"y"), MakePauseStep(5)}, {L"go"}));
    EXPECT_EQ(platform.calls, (Calls{L"open x", L"start y"}));
}

TEST_F(StepExecutorTest, KeystrokeTextThatBreaksTheLanguageFails)
{
    player.textIsValid = false;
    EXPECT_FALSE(Run({MakeStep(StepType::EchoString, L"{bad"), MakePauseStep(5)}, {L"go"}));
    EXPECT_EQ(player.played, (Calls{L"{bad"}));
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(StepExecutorTest, UnknownStepTypesAndEmptySlotsFail)
{
    for (const int type : {0, 7, -1, 1000}) {
        StepPtr step = MakeStep(static_cast<StepType>(type), L"x");
        EXPECT_FALSE(Run({step, MakePauseStep(5)}, {L"go"})) << type;
    }
    EXPECT_FALSE(Run({StepPtr(), MakePauseStep(5)}, {L"go"}));
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(StepExecutorTest, PluginStepWithoutPluginManagerFails)
{
    EXPECT_FALSE(Run({MakeStep(StepType::PluginAction, L"Anything")}, {L"go", L"a"}));
    EXPECT_EQ(tokensAfter, (ArgumentList{L"a"}));
}

struct PauseCase {
    int milliseconds;
    bool runs;
};

class PauseBounds : public testing::TestWithParam<PauseCase> {};

TEST_P(PauseBounds, OnlyOneToOneHundredThousandRuns)
{
    RecordingStepPlatform platform;
    RecordingKeystrokePlayer player;
    StepExecutor executor(platform, platform, player);
    ArgumentList arguments;
    EXPECT_EQ(executor.ExecuteStep(nullptr, *MakePauseStep(GetParam().milliseconds), arguments), GetParam().runs);
    EXPECT_EQ(platform.calls, GetParam().runs ? Calls{L"pause " + std::to_wstring(GetParam().milliseconds)} : Calls{});
}

INSTANTIATE_TEST_SUITE_P(Milliseconds, PauseBounds,
                         testing::Values(PauseCase{0, false}, PauseCase{1, true}, PauseCase{100000, true},
                                         PauseCase{100001, false}, PauseCase{-1, false},
                                         PauseCase{-2147483647 - 1, false}, PauseCase{2147483647, false}));

struct KeyCase {
    const char* name;
    unsigned virtualKey;
    unsigned modifiers;
    Calls events;
};

class SendKeyOrder : public testing::TestWithParam<KeyCase> {};

TEST_P(SendKeyOrder, ModifiersGoDownAndUpInTheSameOrder)
{
    RecordingStepPlatform platform;
    RecordingKeystrokePlayer player;
    StepExecutor executor(platform, platform, player);
    ArgumentList arguments;
    EXPECT_TRUE(executor.ExecuteStep(nullptr, *MakeKeyStep(GetParam().virtualKey, GetParam().modifiers), arguments));
    EXPECT_EQ(platform.calls, GetParam().events);
}

const KeyCase kKeyCases[] = {
    {"PlainKey", 0x41, 0, {L"key 65 down", L"key 65 up"}},
    {"Shift", 0x41, 1, {L"key 16 down", L"key 65 down", L"key 65 up", L"key 16 up"}},
    {"CtrlAlt",
     0x44,
     2 | 4,
     {L"key 17 down", L"key 18 down", L"key 68 down", L"key 68 up", L"key 17 up", L"key 18 up"}},
    {"AllThree",
     0x70,
     1 | 2 | 4,
     {L"key 17 down", L"key 18 down", L"key 16 down", L"key 112 down", L"key 112 up", L"key 17 up", L"key 18 up",
      L"key 16 up"}},
    {"ExtendedBitIgnored", 0x2E, 8 | 2, {L"key 17 down", L"key 46 down", L"key 46 up", L"key 17 up"}},
    {"HighBitsOfTheKeyDropped", 0x10041, 0, {L"key 65 down", L"key 65 up"}},
};

INSTANTIATE_TEST_SUITE_P(Combinations, SendKeyOrder, testing::ValuesIn(kKeyCases),
                         [](const testing::TestParamInfo<KeyCase>& row) { return row.param.name; });

TEST_F(StepExecutorTest, SendKeyWithoutKeyFailsAndSendsNothing)
{
    EXPECT_FALSE(Run({MakeKeyStep(0, 2)}, {L"go"}));
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(StepExecutorTest, RefusedKeyEventStillReleasesTheModifiersAndFails)
{
    platform.keyEventsTaken = 1; // Ctrl down gets through, the rest is refused
    EXPECT_FALSE(Run({MakeKeyStep(0x41, 2), MakePauseStep(5)}, {L"go"}));
    EXPECT_EQ(platform.calls, (Calls{L"key 17 down", L"key 65 down", L"key 65 up", L"key 17 up"}));
}

// ---- Plugin actions ----------------------------------------------------------

class PluginStepTest : public StepExecutorTest {
protected:
    PluginStepTest()
    {
        fake->AddPlugin(L"C:\\P\\join.dll", L"Join", 2).perform = [this](int count, wchar_t** arguments) {
            std::wstring seen;
            for (int i = 0; i < count; ++i)
                seen += std::wstring(arguments[i]) + L";";
            performed.push_back(seen);
        };
        fake->AddPlugin(L"C:\\P\\refuse.dll", L"Refuse", 0).result = 0x100; // low byte 0: failure
        fake->AddFolder(L"C:\\P\\", {L"join.dll", L"refuse.dll"});
        manager.ScanPluginsFolder();
    }

    bool RunWithPlugins(std::vector<StepPtr> steps, ArgumentList tokens)
    {
        command.steps = std::move(steps);
        tokensAfter = tokens;
        return executor.RunCommandSteps(command, tokensAfter, &manager);
    }

    boost::shared_ptr<FakePluginLibraries> fake = boost::make_shared<FakePluginLibraries>();
    QuorvallisPluginsManager manager{fake, L"C:\\P"};
    std::vector<std::wstring> performed;
};

TEST_F(PluginStepTest, ActionTakesItsArgumentsAndLeavesTheRest)
{
    EXPECT_TRUE(RunWithPlugins({MakeStep(StepType::PluginAction, L"Join"), MakeStep(StepType::OpenWebPage, L"%%")},
                               {L"go", L"a", L"b%%", L"c"}));
    // Plugin arguments are passed as typed: no placeholder filling.
    EXPECT_EQ(performed, (Calls{L"a;b%%;"}));
    EXPECT_EQ(platform.calls, (Calls{L"open c"}));
}

TEST_F(PluginStepTest, PlaceholderArgumentsComeFirst)
{
    EXPECT_TRUE(RunWithPlugins({MakeStep(StepType::OpenWebPage, L"%%"), MakeStep(StepType::PluginAction, L"Join")},
                               {L"go", L"a", L"b", L"c"}));
    EXPECT_EQ(platform.calls, (Calls{L"open a"}));
    EXPECT_EQ(performed, (Calls{L"b;c;"}));
}

TEST_F(PluginStepTest, TooFewArgumentsUnknownOrRefusingActionStopTheScript)
{
    const StepPtr after = MakeStep(StepType::OpenWebPage, L"after");
    EXPECT_FALSE(RunWithPlugins({MakeStep(StepType::PluginAction, L"Join"), after}, {L"go", L"a"}));
    EXPECT_EQ(tokensAfter, (ArgumentList{L"a"}));
    EXPECT_FALSE(RunWithPlugins({MakeStep(StepType::PluginAction, L"join"), after}, {L"go", L"a", L"b"}));
    EXPECT_FALSE(RunWithPlugins({MakeStep(StepType::PluginAction, L"Refuse"), after}, {L"go"}));
    EXPECT_TRUE(performed.empty());
    EXPECT_TRUE(platform.calls.empty());
}

} // namespace
