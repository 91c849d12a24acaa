// The main window's editing actions as a user meets them: the menus and the
// context menus open the editors, what the editors accept shows in the tree
// and the list, reaches the file at once and runs from the keyboard after a
// restart; what the catalogue would refuse keeps the editor open with the
// reason.
#include "EditorIds.h"
#include "MainWindowFixture.h"

using namespace launcher_e2e;

namespace {

using Steps = std::initializer_list<std::vector<std::string>>;

constexpr const char* kAddCommand = "Add new command...";
constexpr const char* kEditCommand = "Edit the command...";
constexpr const char* kAddGroup = "Add new group...";
constexpr const char* kEditGroup = "Edit the group...";
constexpr const char* kScript = "Script";
constexpr const char* kError = "Error!";
// Main menu items; controls of the editors, as the inspector names them.
constexpr int kAddGroupItem = IDM_GROUP_ADD, kEditGroupItem = IDM_GROUP_EDIT, kRemoveGroupItem = IDM_GROUP_REMOVE,
              kAddCommandItem = IDM_COMMAND_ADD, kAddScriptItem = IDM_COMMAND_ADD_SCRIPT, kAboutItem = IDM_HELP_ABOUT;
const std::string kOk = "1" /* IDOK */, kType = Id(IDC_QV_TYPE), kField = Id(IDC_QV_COMMAND),
                  kShortcut = Id(IDC_QV_SHORTCUT), kName = Id(IDC_QV_NAME), kGroup = Id(IDC_QV_GROUP),
                  kSteps = Id(IDC_QV_STEP_LIST);

class ActionsE2e : public MainWindowE2e {
protected:
    void Menu(int id) { PostCommand(id); }
    bool Shown(const std::string& title)
    {
        return WaitFor([&] { return inspector::WindowInfo(title, "visible") == Record{"1"}; });
    }
    bool Gone(const std::string& title)
    {
        return WaitFor([&] { return inspector::WindowInfo(title, "visible").empty(); });
    }
    std::string Text(const std::string& title, const std::string& id)
    {
        const auto records = InspectLines({"text", id}, title);
        return records.empty() || records[0].empty() ? "" : records[0][0];
    }
    // Inspector commands on a window, in order: {"settext", kName, "Work"}, {"click", kOk}.
    void Do(const std::string& title, Steps steps)
    {
        for (const auto& step : steps)
            InspectLines(step, title);
    }
    // Answers a message box with a button; returns what it said.
    std::string Answer(const std::string& title, int button)
    {
        if (!Shown(title))
            return "(no message box)";
        const std::string text = Text(title, "65535");
        auto& session = WineSession::Current();
        session.RunWine({session.BuildFile("tests/harness/QvSend.exe"), "--title", title, "--post", "0x0111",
                         std::to_string(button), "0"});
        return Gone(title) ? text : "(the message box stays)";
    }
    int ShownMenus() { return static_cast<int>(InspectLines({"menus"}).size()); }

    // A right click with the mouse: in a row of the list, or low in the tree.
    void RightClick(const std::string& control, int row = -1)
    {
        auto& session = WineSession::Current();
        session.Xdotool({"windowfocus", "--sync", session.WaitForWindow("Preferences", 10000)});
        const std::vector<int> origin = WindowValues("origin");
        const Rect box = Controls().at(control);
        int x = box.x + box.w / 2, y = box.y + box.h - 10;
        if (row >= 0) {
            const Record rect = InspectLines({"rowrect", control, std::to_string(row)}).at(0);
            x = std::stoi(rect.at(0)) + 20;
            y = std::stoi(rect.at(1)) + std::stoi(rect.at(3)) / 2;
        }
        session.Xdotool({"mousemove", std::to_string(origin[0] + x), std::to_string(origin[1] + y), "click", "3"});
    }

    // The catalogue in the file, while the launcher may still run.
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
    const std::string before = ReadFile(folder_ + "/Preferences.data");
    const std::string line = Narrow(L"\"" + WindowsPath(folder_ + "/QvProbe.exe") + L"\" --title Ran --log " +
                                    WindowsPath(folder_ + "/second.log") + L" --exit-after-ms 1500 --arg %%");

    Menu(kAddCommandItem);
    ASSERT_TRUE(Shown(kAddCommand));
    Do(kAddCommand, {{"settext", kName, "Second probe"},
                     {"settext", kShortcut, "PR"},
                     {"selectcombo", kType, "1"},
                     {"settext", kField, line},
                     {"click", kOk}});
    EXPECT_EQ(Answer(kError, 1),
              "The shortcut \"PR\" is already used by the command \"Probe\". Please, choose another shortcut.");
    ASSERT_TRUE(Shown(kAddCommand)) << "the editor closed";
    EXPECT_EQ(Text(kAddCommand, kName), "Second probe");
    EXPECT_EQ(Text(kAddCommand, kField), line);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"0:Probe|pr|Regular|0"}));
    EXPECT_EQ(ReadFile(folder_ + "/Preferences.data"), before) << "saved although nothing was added";

    Do(kAddCommand, {{"settext", kShortcut, "pr2"}, {"click", kOk}});
    ASSERT_TRUE(Gone(kAddCommand));
    EXPECT_TRUE(WaitForRows({"0:Probe|pr|Regular|0", "0:Second probe|pr2|Regular|0"}));
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
// letter: a new shortcut and group take the row out of the list and keep
// the id. A script of three steps reordered with Top and Down is added.
// After a restart only the new shortcut runs, and the script runs its steps
// in the new order.
TEST_F(ActionsE2e, EditsAndAReorderedScriptRunAsEditedAfterARestart)
{
    WriteCatalogue(true, true, {{L"nt", L"x"}});
    StartLauncher();
    Show();
    ASSERT_TRUE(WaitForRows({"0:Probe|pr|Regular|0", "0:nt|nt|Regular|0"}));
    RightClick(Id(IDC_COMMAND_LIST), 0);
    ASSERT_TRUE(WaitFor([&] { return ShownMenus() == 1; })) << "no context menu";
    EXPECT_TRUE(WineSession::Current().Screenshot("actions-list-menu"));
    Keys({"e"});
    ASSERT_TRUE(Shown(kEditCommand)) << "E did not choose \"&Edit\"";
    // Its own shortcut in other letters is no conflict; another's is.
    Do(kEditCommand, {{"settext", kShortcut, "NT"}, {"click", kOk}});
    EXPECT_NE(Answer(kError, 1).find("already used by the command \"nt\""), std::string::npos);
    Do(kEditCommand, {{"settext", kShortcut, "px"}, {"selectcombo", kGroup, "1"}, {"click", kOk}});
    ASSERT_TRUE(Gone(kEditCommand));
    EXPECT_TRUE(WaitForRows({"0:nt|nt|Regular|0"}));

    Menu(kAddScriptItem);
    ASSERT_TRUE(Shown(kScript));
    Do(kScript, {{"settext", kName, "Letters"}, {"settext", kShortcut, "abc"}});
    for (const char* letter : {"a", "b", "c"}) {
        Do(kScript, {{"click", Id(IDC_QV_ADD_STEP)}});
        ASSERT_TRUE(Shown("Add new step..."));
        Do("Add new step...", {{"selectcombo", kType, "2"}, {"settext", kField, letter}, {"click", kOk}});
        ASSERT_TRUE(Gone("Add new step..."));
    }
    // Top for "c", then Down for "a".
    Do(kScript, {{"selectrows", kSteps, "2"},
                 {"sendcommand", Id(IDM_QV_STEP_TOP)},
                 {"selectrows", kSteps, "1"},
                 {"sendcommand", Id(IDM_QV_STEP_DOWN)}});
    std::string order;
    for (const Record& row : InspectLines({"list", kSteps}, kScript))
        order += row.size() > 5 ? row[5] : "?";
    EXPECT_EQ(order, "cba");
    Do(kScript, {{"click", kOk}});
    ASSERT_TRUE(Gone(kScript));
    EXPECT_TRUE(WaitForRows({"0:nt|nt|Regular|0", "4:Letters|abc|Script|0"}));
    SelectGroup("Scripts");
    EXPECT_TRUE(WaitForRows({"0:Probe|px|Regular|0"}));
    EXPECT_TRUE(Stored([](const QuorvallisCommands& c) {
        return c.allCommands.size() == 3 && c.allCommands[0]->id == 3 && c.allCommands[0]->groupId == 1 &&
               c.allCommands[0]->shortcut == L"px";
    })) << "not in its place in the file";

    EXPECT_EQ(ExitLauncher(), 0);
    // The shortcuts alone: the list of matches would find "Probe" by its name.
    UserNumber listOff(UserNumber::kOptionsKey, "ShowMatches", 0);
    StartTarget();
    StartLauncher();
    RunLine("pr old");
    EXPECT_FALSE(CommandRan(2000)) << "the old shortcut still runs";
    RunLine("px new");
    ASSERT_TRUE(CommandRan());
    EXPECT_NE(ReadFile(ranLog_).find("--arg new"), std::string::npos) << ReadFile(ranLog_);
    RanProbeEnded();
    StartTarget("Target2");
    RunLine("abc");
    EXPECT_TRUE(WaitFor([&] { return TargetChars() == "cba"; })) << TargetChars();
}

// Groups: added from the tree's menu by its letter, renamed, and in the file
// with a changed preference before the launcher is killed. "Search results" takes no new entries and
// opens no menu; removing a group removes its commands; with every group
// gone a new one goes on top; an exit while an editor is open closes it and
// keeps what was accepted.
TEST_F(ActionsE2e, GroupChangesAreSavedAtOnceAndTheLastGroupCanBeReplaced)
{
    WriteCatalogue();
    StartLauncher();
    Show();
    RightClick(Id(IDC_GROUP_TREE));
    ASSERT_TRUE(WaitFor([&] { return ShownMenus() == 1; })) << "no context menu";
    Keys({"a"});
    ASSERT_TRUE(Shown(kAddGroup)) << "A did not choose \"&Add\"";
    Do(kAddGroup, {{"settext", kName, "Work"}, {"click", kOk}});
    EXPECT_TRUE(WaitFor([&] { return Tree() == std::vector<std::string>{"0:General*", "1:Work", "0:Scripts"}; }));
    SelectGroup("Work");
    Menu(kEditGroupItem);
    ASSERT_TRUE(Shown(kEditGroup));
    EXPECT_EQ(Text(kEditGroup, kName), "Work");
    Do(kEditGroup, {{"settext", kName, "Office"}, {"click", kOk}});
    Do("Preferences", {{"click", Id(IDC_ENABLE_ON_START)}});
    ASSERT_TRUE(Stored([](const QuorvallisCommands& c) {
        return c.groups[0]->subgroups.size() == 1 && c.groups[0]->subgroups[0]->name == L"Office" && !c.enableOnStart;
    }));
    launcher_->Stop();
    launcher_.reset();

    StartLauncher();
    Show();
    EXPECT_EQ(Tree(), (std::vector<std::string>{"0:General", "1:Office*", "0:Scripts"})) << "lost in the crash";
    SendSearchMessage("pr");
    ASSERT_TRUE(WaitForRows({"0:Probe|pr|Regular|0"}));
    for (int id : {kAddCommandItem, kAddScriptItem, kAddGroupItem, kEditGroupItem})
        Menu(id);
    for (const int control : {IDC_COMMAND_LIST, IDC_GROUP_TREE}) {
        RightClick(Id(control), control == IDC_COMMAND_LIST ? 0 : -1);
        Pause(1000);
        EXPECT_EQ(ShownMenus(), 0) << control;
    }
    for (const char* title : {kAddCommand, kScript, kAddGroup, kEditGroup})
        EXPECT_TRUE(inspector::WindowInfo(title, "visible").empty()) << title;

    for (const char* group : {"General", "Scripts"}) {
        SelectGroup(group);
        Menu(kRemoveGroupItem);
        EXPECT_EQ(Answer("Remove group?", 6), "Remove group \"" + std::string(group) + "\" and all its commands?");
    }
    EXPECT_TRUE(WaitFor([&] { return Tree().empty(); })) << ::testing::PrintToString(Tree());
    Menu(kAddGroupItem);
    ASSERT_TRUE(Shown(kAddGroup)) << "no group can be added any more";
    Do(kAddGroup, {{"settext", kName, "Fresh"}, {"click", kOk}});
    EXPECT_TRUE(WaitFor([&] { return Tree() == std::vector<std::string>{"0:Fresh"}; }));

    SelectGroup("Fresh");
    Menu(kAddCommandItem);
    ASSERT_TRUE(Shown(kAddCommand));
    Do(kAddCommand, {{"settext", kName, "Never added"}});
    PostCommand(IDM_TRAY_EXIT);
    EXPECT_EQ(launcher_->WaitForExit(20000), 0) << "the exit under the editor failed";
    launcher_.reset();
    QuorvallisCommands stored;
    ASSERT_EQ(ReadCatalogue(stored), LoadOutcome::Loaded);
    ASSERT_EQ(stored.groups.size(), 1u);
    EXPECT_EQ(stored.groups[0]->name, L"Fresh");
    EXPECT_TRUE(stored.allCommands.empty()) << "the removed group's command stays";
}

// Every exit asked happens. One handled inside the about box while a second
// about box is asked for behind it (the launcher stalled meanwhile): the box
// that opens before the posted exit is ended too. A log-off with a context
// menu open ends the menu and exits; the session that ends right after its
// WM_ENDSESSION is answered finds the run counts in the file.
TEST_F(ActionsE2e, EveryExitHappensUnderBoxesAndMenus)
{
    WriteCatalogue();
    StartLauncher();
    auto& session = WineSession::Current();
    const std::string send = session.BuildFile("tests/harness/QvSend.exe");
    const auto exited = [&](bool killed, const char* why) {
        const int code = launcher_->WaitForExit(20000);
        EXPECT_TRUE(killed ? code != -1 : code == 0) << why << ": " << code;
        if (code == -1)
            launcher_->Stop();
        launcher_.reset();
    };
    Menu(kAboutItem);
    ASSERT_TRUE(Shown("About"));
    const std::string stallLog = folder_ + "/stall.log";
    const pid_t stall = session.StartWine({send, "--title", "Preferences", "--stall", "3000"}, stallLog);
    ASSERT_TRUE(WaitFor([&] { return ReadFile(stallLog).find("stalled") != std::string::npos; }, 20000));
    PostCommand(IDM_TRAY_EXIT);
    Menu(kAboutItem);
    ProcessRunner::Wait(stall, 20000);
    exited(false, "the exit was dropped under the second about box");

    for (const std::string message : {"0x0011", "0x0016"}) { // WM_QUERYENDSESSION, WM_ENDSESSION
        StartTarget("Target" + message);
        StartLauncher();
        fs::remove(ranLog_);
        RunLine("pr x");
        ASSERT_TRUE(CommandRan());
        ASSERT_TRUE(RanProbeEnded());
        Show();
        RightClick("1015");
        ASSERT_TRUE(WaitFor([&] { return ShownMenus() == 1; })) << "no context menu";
        if (message == "0x0011") {
            session.RunWine({send, "--title", "Preferences", "--send", message, "0", "0"});
            exited(false, "the menu held the exit");
        } else {
            session.RunWine({send, "--title", "Preferences", "--send", message, "1", "0", "--end"});
            exited(true, "not ended by the session");
        }
    }
    QuorvallisCommands stored;
    ASSERT_EQ(ReadCatalogue(stored), LoadOutcome::Loaded);
    EXPECT_EQ(stored.FindCommandByShortcut(L"pr")->timesExecuted, 2);
}

} // namespace
