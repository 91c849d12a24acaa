// The main window's editing actions as a user meets them: the menus, the
// toolbar and the context menus open the editors, what the editors accept
// shows in the tree and the list, reaches the file at once and runs from the
// keyboard after a restart; what the catalogue would refuse keeps the editor
// open with the reason.
#include "MainWindowFixture.h"

using namespace launcher_e2e;

namespace {

constexpr const char* kAddCommand = "Add new command...";
constexpr const char* kEditCommand = "Edit the command...";
constexpr const char* kAddGroup = "Add new group...";
constexpr const char* kEditGroup = "Edit the group...";
constexpr const char* kScript = "Script";
constexpr const char* kAddStep = "Add new step...";
constexpr const char* kError = "Error!";

// Command ids of the main menu.
constexpr int kMenuAddGroup = 40002, kMenuEditGroup = 40003, kMenuRemoveGroup = 40004, kMenuAddCommand = 40005,
              kMenuAddScript = 40008;
// Controls of the editors and of the message boxes.
constexpr int kOk = 1, kYes = 6, kType = 1009, kField = 1010, kShortcut = 1012, kName = 1013, kAddStepButton = 1024,
              kGroup = 1038, kStepList = 1023, kMessageText = 0xFFFF;
// The script editor's popup menu.
constexpr int kStepDown = 1574, kStepTop = 1575;

class ActionsE2e : public MainWindowE2e {
protected:
    void Menu(int id) { PostCommand(std::to_string(id).c_str()); }

    bool Shown(const std::string& title, int timeoutMs = 10000)
    {
        return WaitFor([&] { return inspector::WindowInfo(title, "visible") == Record{"1"}; }, timeoutMs);
    }
    bool Gone(const std::string& title)
    {
        return WaitFor([&] { return inspector::WindowInfo(title, "visible").empty(); }, 10000);
    }

    std::string Text(const std::string& title, int id)
    {
        const auto records = InspectLines({"text", std::to_string(id)}, title);
        return records.empty() || records[0].empty() ? "" : records[0][0];
    }
    void SetText(const std::string& title, int id, const std::string& text)
    {
        InspectLines({"settext", std::to_string(id), text}, title);
    }
    void Click(const std::string& title, int id) { InspectLines({"click", std::to_string(id)}, title); }
    void Choose(const std::string& title, int combo, int item)
    {
        InspectLines({"selectcombo", std::to_string(combo), std::to_string(item)}, title);
    }

    // Answers a message box with one of its buttons; returns its text.
    std::string Answer(const std::string& title, int button)
    {
        if (!Shown(title))
            return "(no message box)";
        const std::string text = Text(title, kMessageText);
        auto& session = WineSession::Current();
        session.RunWine({session.BuildFile("tests/harness/QvSend.exe"), "--title", title, "--post", "0x0111",
                         std::to_string(button), "0"});
        return Gone(title) ? text : "(the message box stays)";
    }

    int ShownMenus() { return static_cast<int>(InspectLines({"menus"}).size()); }

    // A right click as the mouse makes it: in a list row, or low in the tree,
    // below its items.
    void RightClick(int control, int row = -1)
    {
        auto& session = WineSession::Current();
        session.Xdotool({"windowfocus", "--sync", session.WaitForWindow("Preferences", 10000)});
        const std::vector<int> origin = WindowValues("origin");
        const Rect box = Controls().at(std::to_string(control));
        int x = box.x + box.w / 2, y = box.y + box.h - 10;
        if (row >= 0) {
            const auto rect = InspectLines({"rowrect", std::to_string(control), std::to_string(row)});
            x = std::stoi(rect.at(0).at(0)) + 20;
            y = std::stoi(rect.at(0).at(1)) + std::stoi(rect.at(0).at(3)) / 2;
        }
        session.Xdotool({"mousemove", std::to_string(origin[0] + x), std::to_string(origin[1] + y)});
        Pause(200);
        session.Xdotool({"click", "3"});
    }

    // The command of the probe that logs to `log` and stays 1.5 s.
    std::string ProbeLine(const std::string& log)
    {
        return Narrow(L"\"" + WindowsPath(folder_ + "/QvProbe.exe") + L"\" --title Ran --log " +
                      WindowsPath(folder_ + "/" + log) + L" --exit-after-ms 1500 --arg %%");
    }

    std::string File() { return ReadFile(folder_ + "/Preferences.data"); }

    // The catalogue in the file, read while the launcher may still run.
    bool Stored(const std::function<bool(const QuorvallisCommands&)>& holds)
    {
        return WaitFor([&] {
            QuorvallisCommands stored;
            return ReadCatalogue(stored) == LoadOutcome::Loaded && holds(stored);
        });
    }

    void RunLine(const std::string& line)
    {
        Activate();
        Type(line);
        Keys({"Return"});
    }
};

// Add command: a shortcut another command has, in other letters, keeps the
// editor open with everything typed and names that command; nothing is
// added or saved. Corrected, the command gets its row, is in the file at
// once and runs from the keyboard.
TEST_F(ActionsE2e, AddedCommandIsCheckedBeforeTheEditorClosesThenSavedAndRun)
{
    WriteCatalogue();
    StartLauncher();
    Show();
    const std::string before = File();

    Menu(kMenuAddCommand);
    ASSERT_TRUE(Shown(kAddCommand));
    SetText(kAddCommand, kName, "Second probe");
    SetText(kAddCommand, kShortcut, "PR");
    Choose(kAddCommand, kType, 1);
    SetText(kAddCommand, kField, ProbeLine("second.log"));
    Click(kAddCommand, kOk);
    EXPECT_EQ(Answer(kError, kOk),
              "The shortcut \"PR\" is already used by the command \"Probe\". Please, choose another shortcut.");
    ASSERT_TRUE(Shown(kAddCommand)) << "the editor closed";
    EXPECT_EQ(Text(kAddCommand, kName), "Second probe");
    EXPECT_EQ(Text(kAddCommand, kField), ProbeLine("second.log"));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"0:Probe|pr|Regular|0"}));
    EXPECT_EQ(File(), before) << "saved although nothing was added";

    SetText(kAddCommand, kShortcut, "pr2");
    Click(kAddCommand, kOk);
    ASSERT_TRUE(Gone(kAddCommand));
    EXPECT_TRUE(WaitForRows({"0:Probe|pr|Regular|0", "0:Second probe|pr2|Regular|0"}))
        << ::testing::PrintToString(Rows());
    EXPECT_TRUE(Stored([](const QuorvallisCommands& c) {
        CommandPtr added = c.FindCommandByShortcut(L"pr2");
        return added && added->id == 4 && added->groupId == 0 && added->steps.size() == 1 &&
               added->steps[0]->type == StepType::OpenExecutable;
    })) << "not saved while running";

    StartTarget();
    RunLine("pr2 one");
    EXPECT_TRUE(WaitFor([&] { return ReadFile(folder_ + "/second.log").find("one") != std::string::npos; }));
    EXPECT_TRUE(WaitForRows({"0:Probe|pr|Regular|0", "0:Second probe|pr2|Regular|1"}));
}

// Edit command from the list's context menu, chosen by its underlined
// letter: a new shortcut and group take the row out of the list, the id
// stays, and after a restart only the new shortcut runs.
TEST_F(ActionsE2e, EditedShortcutAndGroupKeepTheIdAndOnlyTheNewShortcutRuns)
{
    WriteCatalogue(true, true, {{L"nt", L"x"}});
    StartLauncher();
    Show();
    ASSERT_TRUE(WaitForRows({"0:Probe|pr|Regular|0", "0:nt|nt|Regular|0"}));

    RightClick(1003, 0);
    ASSERT_TRUE(WaitFor([&] { return ShownMenus() == 1; })) << "no context menu";
    EXPECT_TRUE(WineSession::Current().Screenshot("actions-list-menu"));
    Keys({"e"});
    ASSERT_TRUE(Shown(kEditCommand)) << "E did not choose \"&Edit\"";
    EXPECT_EQ(Text(kEditCommand, kShortcut), "pr");
    // Its own shortcut in other letters is no conflict; another's is.
    SetText(kEditCommand, kShortcut, "NT");
    Click(kEditCommand, kOk);
    EXPECT_NE(Answer(kError, kOk).find("already used by the command \"nt\""), std::string::npos);
    SetText(kEditCommand, kShortcut, "px");
    Choose(kEditCommand, kGroup, 1);
    Click(kEditCommand, kOk);
    ASSERT_TRUE(Gone(kEditCommand));
    EXPECT_TRUE(WaitForRows({"0:nt|nt|Regular|0"})) << ::testing::PrintToString(Rows());
    SelectGroup("Scripts");
    EXPECT_TRUE(WaitForRows({"0:Probe|px|Regular|0"}));
    EXPECT_TRUE(Stored([](const QuorvallisCommands& c) {
        return c.allCommands.size() == 2 && c.allCommands[0]->id == 3 && c.allCommands[0]->groupId == 1 &&
               c.allCommands[0]->shortcut == L"px";
    })) << "not in its place in the file";

    EXPECT_EQ(ExitLauncher(), 0);
    StartTarget();
    StartLauncher();
    RunLine("pr old");
    EXPECT_FALSE(CommandRan(2000)) << "the old shortcut still runs";
    RunLine("px new");
    ASSERT_TRUE(CommandRan());
    EXPECT_NE(ReadFile(ranLog_).find("--arg new"), std::string::npos) << ReadFile(ranLog_);
}

// Groups: added from the tree's menu by its letter, renamed, and in the file
// before the launcher is killed. "Search results" takes no new entries and
// opens no menu; removing a group removes its commands; with every group
// gone a new one goes on top; an exit while an editor is open closes it and
// keeps what was accepted.
TEST_F(ActionsE2e, GroupChangesAreSavedAtOnceAndTheLastGroupCanBeReplaced)
{
    WriteCatalogue();
    StartLauncher();
    Show();
    RightClick(1015);
    ASSERT_TRUE(WaitFor([&] { return ShownMenus() == 1; })) << "no context menu";
    Keys({"a"});
    ASSERT_TRUE(Shown(kAddGroup)) << "A did not choose \"&Add\"";
    SetText(kAddGroup, kName, "Work");
    Click(kAddGroup, kOk);
    ASSERT_TRUE(Gone(kAddGroup));
    EXPECT_TRUE(WaitFor([&] { return Tree() == std::vector<std::string>{"0:General*", "1:Work", "0:Scripts"}; }))
        << ::testing::PrintToString(Tree());
    SelectGroup("Work");
    Menu(kMenuEditGroup);
    ASSERT_TRUE(Shown(kEditGroup));
    EXPECT_EQ(Text(kEditGroup, kName), "Work");
    SetText(kEditGroup, kName, "Office");
    Click(kEditGroup, kOk);
    ASSERT_TRUE(Gone(kEditGroup));
    EXPECT_TRUE(WaitFor([&] { return Tree() == std::vector<std::string>{"0:General", "1:Office*", "0:Scripts"}; }));
    ASSERT_TRUE(Stored([](const QuorvallisCommands& c) {
        return c.groups[0]->subgroups.size() == 1 && c.groups[0]->subgroups[0]->name == L"Office";
    }));
    launcher_->Stop();
    launcher_.reset();

    StartLauncher();
    Show();
    EXPECT_EQ(Tree(), (std::vector<std::string>{"0:General", "1:Office*", "0:Scripts"})) << "lost in the crash";
    SendSearchMessage("pr");
    ASSERT_TRUE(WaitForRows({"0:Probe|pr|Regular|0"}));
    for (int id : {kMenuAddCommand, kMenuAddScript, kMenuAddGroup, kMenuEditGroup})
        Menu(id);
    for (int control : {1003, 1015}) {
        RightClick(control, control == 1003 ? 0 : -1);
        Pause(1000);
        EXPECT_EQ(ShownMenus(), 0) << control;
    }
    for (const char* title : {kAddCommand, kScript, kAddGroup, kEditGroup})
        EXPECT_TRUE(inspector::WindowInfo(title, "visible").empty()) << title;

    SelectGroup("General");
    Menu(kMenuRemoveGroup);
    EXPECT_EQ(Answer("Remove group?", kYes), "Remove group \"General\" and all its commands?");
    EXPECT_TRUE(WaitFor([&] { return Tree().size() == 1; })) << ::testing::PrintToString(Tree());
    SelectGroup("Scripts");
    Menu(kMenuRemoveGroup);
    EXPECT_EQ(Answer("Remove group?", kYes), "Remove group \"Scripts\" and all its commands?");
    EXPECT_TRUE(WaitFor([&] { return Tree().empty(); }));
    Menu(kMenuAddGroup);
    ASSERT_TRUE(Shown(kAddGroup)) << "no group can be added any more";
    SetText(kAddGroup, kName, "Fresh");
    Click(kAddGroup, kOk);
    EXPECT_TRUE(WaitFor([&] { return Tree() == std::vector<std::string>{"0:Fresh"}; }));

    SelectGroup("Fresh");
    Menu(kMenuAddCommand);
    ASSERT_TRUE(Shown(kAddCommand));
    SetText(kAddCommand, kName, "Never added");
    PostCommand(kExit);
    EXPECT_EQ(launcher_->WaitForExit(20000), 0) << "the exit under the editor failed";
    launcher_.reset();
    QuorvallisCommands stored;
    ASSERT_EQ(ReadCatalogue(stored), LoadOutcome::Loaded);
    ASSERT_EQ(stored.groups.size(), 1u);
    EXPECT_EQ(stored.groups[0]->name, L"Fresh");
    EXPECT_TRUE(stored.allCommands.empty()) << "the removed group's command stays";
}

// A script of three steps, reordered with Top and Down, runs its steps in
// the new order after a restart.
TEST_F(ActionsE2e, ReorderedScriptRunsInTheNewOrderAfterARestart)
{
    WriteCatalogue();
    StartLauncher();
    Show();
    Menu(kMenuAddScript);
    ASSERT_TRUE(Shown(kScript));
    SetText(kScript, kName, "Letters");
    SetText(kScript, kShortcut, "abc");
    for (const char* letter : {"a", "b", "c"}) {
        Click(kScript, kAddStepButton);
        ASSERT_TRUE(Shown(kAddStep));
        Choose(kAddStep, kType, 2);
        SetText(kAddStep, kField, letter);
        Click(kAddStep, kOk);
        ASSERT_TRUE(Gone(kAddStep));
    }
    const auto order = [&] {
        std::string texts;
        for (const Record& row : InspectLines({"list", std::to_string(kStepList)}, kScript))
            texts += row.size() > 5 ? row[5] : "?";
        return texts;
    };
    ASSERT_TRUE(WaitFor([&] { return order() == "abc"; })) << order();
    InspectLines({"selectrows", std::to_string(kStepList), "2"}, kScript);
    InspectLines({"sendcommand", std::to_string(kStepTop)}, kScript);
    InspectLines({"selectrows", std::to_string(kStepList), "1"}, kScript);
    InspectLines({"sendcommand", std::to_string(kStepDown)}, kScript);
    EXPECT_EQ(order(), "cba");
    Click(kScript, kOk);
    ASSERT_TRUE(Gone(kScript));
    EXPECT_TRUE(WaitForRows({"0:Probe|pr|Regular|0", "4:Letters|abc|Script|0"})) << ::testing::PrintToString(Rows());

    EXPECT_EQ(ExitLauncher(), 0);
    StartTarget();
    StartLauncher();
    RunLine("abc");
    EXPECT_TRUE(WaitFor([&] { return TargetChars() == "cba"; })) << TargetChars();
}

} // namespace
