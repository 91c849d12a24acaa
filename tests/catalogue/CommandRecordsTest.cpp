#include "catalogue/CommandGroup.h"
#include "catalogue/QuorvallisCommand.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<int> StepIds(const QuorvallisCommand& command)
{
    std::vector<int> ids;
    for (const StepPtr& step : command.steps)
        ids.push_back(step->id);
    return ids;
}

QuorvallisCommand CommandWithSteps(int count)
{
    QuorvallisCommand command(7, L"n", L"", 1, 0, L"s");
    for (int i = 0; i < count; ++i) {
        StepPtr step(new QuorvallisScriptStep(++command.lastStepId));
        command.steps.push_back(step);
    }
    return command;
}

} // namespace

TEST(CommandRecords, NewRecordsStartAsDocumented)
{
    QuorvallisCommand command(5, L"Mail", L"notes", 9, 0, L"mail");
    EXPECT_EQ(command.lastStepId, -1);
    EXPECT_EQ(command.kind, CommandKind::Regular);
    EXPECT_EQ(command.timesExecuted, 0);
    EXPECT_TRUE(command.steps.empty());
    EXPECT_EQ(QuorvallisCommand().kind, static_cast<CommandKind>(0));

    QuorvallisScriptStep fresh(3);
    EXPECT_EQ(fresh.pauseMs, -1);
    EXPECT_EQ(fresh.virtualKey, 0xFFFFu);
    EXPECT_EQ(fresh.modifiers, 0xFFFFu);
    QuorvallisScriptStep read;
    EXPECT_EQ(read.virtualKey, 0u);
    EXPECT_EQ(read.modifiers, 0u);
    EXPECT_EQ(read.pauseMs, -1);
}

TEST(CommandRecords, SetRegularStepCreatesStepZeroOnceThenReplacesIt)
{
    QuorvallisCommand command(5, L"Web", L"", 0, 0, L"web");
    ASSERT_TRUE(command.SetRegularStep(StepType::OpenWebPage, L"http://a"));
    ASSERT_EQ(command.steps.size(), 1u);
    EXPECT_EQ(command.lastStepId, 0);
    EXPECT_EQ(command.steps[0]->id, 0);

    command.steps[0]->extraStrings.push_back(L"kept");
    const StepPtr first = command.steps[0];
    const QuorvallisCommand copy(command); // shares the step, as a running copy would
    ASSERT_TRUE(command.SetRegularStep(StepType::EchoString, L"typed %%"));
    ASSERT_EQ(command.steps.size(), 1u);
    EXPECT_EQ(command.lastStepId, 0);
    EXPECT_EQ(command.steps[0]->id, 0);
    EXPECT_EQ(command.steps[0]->type, StepType::EchoString);
    EXPECT_EQ(command.steps[0]->text, L"typed %%");
    EXPECT_EQ(command.steps[0]->extraStrings, std::vector<std::wstring>{L"kept"});
    // The shared step object is untouched: the copy still sees the old step.
    EXPECT_NE(command.steps[0], first);
    EXPECT_EQ(copy.steps[0], first);
    EXPECT_EQ(first->type, StepType::OpenWebPage);
    EXPECT_EQ(first->text, L"http://a");
}

TEST(CommandRecords, SetRegularStepRefusesStepTypesOfScriptsOnly)
{
    QuorvallisCommand command(5, L"x", L"", 0, 0, L"x");
    for (StepType type : {StepType::SendKey, StepType::Pause, StepType::PluginAction, static_cast<StepType>(0)}) {
        EXPECT_FALSE(command.SetRegularStep(type, L"t"));
    }
    EXPECT_TRUE(command.steps.empty());
    EXPECT_EQ(command.lastStepId, -1);
}

TEST(CommandRecords, StepMovesFollowTheirTable)
{
    using Move = bool (QuorvallisCommand::*)(int);
    struct Case {
        const char* what;
        int stepCount;
        Move move;
        int stepId;
        bool result;
        std::vector<int> order;
    };
    const Case cases[] = {
        {"up first", 3, &QuorvallisCommand::MoveStepUp, 0, false, {0, 1, 2}},
        {"up last", 3, &QuorvallisCommand::MoveStepUp, 2, true, {0, 2, 1}},
        {"down last", 3, &QuorvallisCommand::MoveStepDown, 2, false, {0, 1, 2}},
        {"down first", 3, &QuorvallisCommand::MoveStepDown, 0, true, {1, 0, 2}},
        {"top first", 3, &QuorvallisCommand::MoveStepToTop, 0, false, {0, 1, 2}},
        {"top last", 4, &QuorvallisCommand::MoveStepToTop, 3, true, {3, 0, 1, 2}},
        {"top middle", 4, &QuorvallisCommand::MoveStepToTop, 2, true, {2, 0, 1, 3}},
        {"bottom last", 3, &QuorvallisCommand::MoveStepToBottom, 2, false, {0, 1, 2}},
        {"bottom first", 4, &QuorvallisCommand::MoveStepToBottom, 0, true, {1, 2, 3, 0}},
        {"bottom middle", 4, &QuorvallisCommand::MoveStepToBottom, 1, true, {0, 2, 3, 1}},
        {"single up", 1, &QuorvallisCommand::MoveStepUp, 0, false, {0}},
        {"single down", 1, &QuorvallisCommand::MoveStepDown, 0, false, {0}},
        {"single top", 1, &QuorvallisCommand::MoveStepToTop, 0, false, {0}},
        {"single bottom", 1, &QuorvallisCommand::MoveStepToBottom, 0, false, {0}},
        {"unknown up", 3, &QuorvallisCommand::MoveStepUp, 9, false, {0, 1, 2}},
        {"unknown down", 3, &QuorvallisCommand::MoveStepDown, 9, false, {0, 1, 2}},
        {"unknown top", 3, &QuorvallisCommand::MoveStepToTop, 9, false, {0, 1, 2}},
        {"unknown bottom", 3, &QuorvallisCommand::MoveStepToBottom, 9, false, {0, 1, 2}},
        {"remove middle", 3, &QuorvallisCommand::RemoveStep, 1, true, {0, 2}},
        {"remove unknown", 3, &QuorvallisCommand::RemoveStep, -1, false, {0, 1, 2}},
    };
    for (const Case& c : cases) {
        QuorvallisCommand command = CommandWithSteps(c.stepCount);
        EXPECT_EQ((command.*c.move)(c.stepId), c.result) << c.what;
        EXPECT_EQ(StepIds(command), c.order) << c.what;
    }
}

TEST(CommandRecords, ReplaceStepPutsTheGivenObjectInPlace)
{
    QuorvallisCommand command = CommandWithSteps(3);
    StepPtr replacement(new QuorvallisScriptStep(1));
    replacement->type = StepType::Pause;
    EXPECT_TRUE(command.ReplaceStep(1, replacement));
    EXPECT_EQ(command.steps[1], replacement);
    EXPECT_EQ(StepIds(command), (std::vector<int>{0, 1, 2}));

    EXPECT_FALSE(command.ReplaceStep(5, StepPtr(new QuorvallisScriptStep(5))));
    EXPECT_FALSE(command.ReplaceStep(0, StepPtr()));
    EXPECT_EQ(StepIds(command), (std::vector<int>{0, 1, 2}));
}

namespace {

// 10 ─┬─ 11 ── 12 ── 40(a)
//     └─ 13 ─┬─ 40(b)
//            └─ 14
GroupPtr SampleTree()
{
    GroupPtr root(new CommandGroup(10, 0, L"root"));
    GroupPtr g11(new CommandGroup(11, 0, L"11"));
    GroupPtr g12(new CommandGroup(12, 0, L"12"));
    GroupPtr g13(new CommandGroup(13, 0, L"13"));
    g12->subgroups.push_back(GroupPtr(new CommandGroup(40, 0, L"a")));
    g11->subgroups.push_back(g12);
    g13->subgroups.push_back(GroupPtr(new CommandGroup(40, 0, L"b")));
    g13->subgroups.push_back(GroupPtr(new CommandGroup(14, 0, L"14")));
    root->subgroups.push_back(g11);
    root->subgroups.push_back(g13);
    return root;
}

} // namespace

TEST(CommandGroups, FindSubgroupWalksDepthFirstAndSkipsItself)
{
    GroupPtr root = SampleTree();
    EXPECT_FALSE(root->FindSubgroup(10));
    EXPECT_FALSE(CommandGroup(3, 0, L"leaf").FindSubgroup(3));
    ASSERT_TRUE(root->FindSubgroup(40));
    EXPECT_EQ(root->FindSubgroup(40)->name, L"a"); // deeper under the first child wins
    ASSERT_TRUE(root->FindSubgroup(14));
    EXPECT_EQ(root->FindSubgroup(14)->name, L"14");
    EXPECT_FALSE(root->FindSubgroup(99));
}

TEST(CommandGroups, RemoveSubgroupRemovesFirstMatchWithItsSubtree)
{
    GroupPtr root = SampleTree();
    EXPECT_FALSE(root->RemoveSubgroup(10));
    EXPECT_FALSE(root->RemoveSubgroup(99));
    EXPECT_TRUE(root->RemoveSubgroup(40));
    EXPECT_TRUE(root->FindSubgroup(12)->subgroups.empty());
    ASSERT_TRUE(root->FindSubgroup(40));
    EXPECT_EQ(root->FindSubgroup(40)->name, L"b");

    EXPECT_TRUE(root->RemoveSubgroup(13));
    EXPECT_FALSE(root->FindSubgroup(14));
    EXPECT_FALSE(root->FindSubgroup(40));
    ASSERT_EQ(root->subgroups.size(), 1u);
    EXPECT_EQ(root->subgroups[0]->id, 11);
}
