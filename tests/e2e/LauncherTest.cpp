// The launcher under Wine, driven like a user would: a target window has the
// focus, the control keys are pressed twice, a line is typed and Enter runs
// it. Commands start QvProbe, whose log shows the command line it got.
#include "Inspector.h"
#include "LauncherFixture.h"
#include "platform/WindowMessages.h"

using namespace launcher_e2e;

namespace {

TEST_F(LauncherE2e, TypedShortcutWithArgumentRunsTheCommandAndTheCountSurvivesARestart)
{
    // Notes of U+FFFF (WEOF where wint_t is 16 bits) over more than one of
    // the pieces the file is read in.
    const std::wstring notes(20000, wchar_t(0xFFFF));
    QuorvallisCommands catalogue;
    catalogue.shownOnce = true;
    AddProbeCommand(catalogue, 0);
    catalogue.allCommands[0]->notes = notes;
    WriteCatalogue(catalogue);
    StartTarget();
    StartLauncher();

    Type("ab");
    Activate();
    Type("pr hello42");
    WineSession::Current().Screenshot("launcher-popup-typing");
    Keys({"Return"});
    ASSERT_TRUE(CommandRan()) << "the command did not start the probe";
    EXPECT_NE(ReadFile(ranLog_).find("--arg hello42"), std::string::npos) << ReadFile(ranLog_);
    // Keys before the activation reached the target; the typed line did not.
    EXPECT_EQ(TargetChars(), "ab");

    EXPECT_EQ(ExitLauncher(), 0);
    QuorvallisCommands stored;
    ASSERT_EQ(ReadCatalogue(stored), LoadOutcome::Loaded);
    ASSERT_TRUE(stored.FindCommandByShortcut(L"pr"));
    EXPECT_EQ(stored.FindCommandByShortcut(L"pr")->timesExecuted, 1);
    EXPECT_EQ(stored.FindCommandByShortcut(L"pr")->notes, notes);

    // A new start finds the count again and adds to it.
    fs::remove(ranLog_);
    StartLauncher();
    Activate();
    Type("pr again");
    Keys({"Return"});
    ASSERT_TRUE(CommandRan());
    EXPECT_EQ(ExitLauncher(), 0);
    QuorvallisCommands again;
    ASSERT_EQ(ReadCatalogue(again), LoadOutcome::Loaded);
    EXPECT_EQ(again.FindCommandByShortcut(L"pr")->timesExecuted, 2);
}

TEST_F(LauncherE2e, EscapeBackspaceAndUnknownShortcuts)
{
    WriteCatalogue();
    StartTarget();
    StartLauncher();

    // Escape drops the line; the keys after it reach the target again.
    Activate();
    Type("pr esc");
    Keys({"Escape"});
    Type("x");
    EXPECT_FALSE(CommandRan(2000));
    TargetHas("x");
    EXPECT_EQ(TargetChars(), "x");

    // An unknown shortcut runs nothing.
    Activate();
    Type("zz nothing");
    Keys({"Return"});
    EXPECT_FALSE(CommandRan(2000));

    // Backspace corrects the line before it runs.
    Activate();
    Type("pq");
    Keys({"BackSpace", "BackSpace", "BackSpace"});
    Type("pr fixed");
    Keys({"Return"});
    ASSERT_TRUE(CommandRan());
    EXPECT_NE(ReadFile(ranLog_).find("--arg fixed"), std::string::npos) << ReadFile(ranLog_);
    // The started probe took the focus; keys pass again to a new target.
    RanProbeEnded();
    StartTarget("Target2");
    Type("y");
    TargetHas("y");
    EXPECT_EQ(TargetChars(), "y");
}

TEST_F(LauncherE2e, DisabledLauncherLetsEveryKeyThroughUntilEnabledAgain)
{
    WriteCatalogue(/*enableOnStart=*/false);
    StartTarget();
    StartLauncher();

    Activate();
    Type("pr off");
    Keys({"Return"});
    EXPECT_FALSE(CommandRan(2000));
    TargetHas("pr off\r");
    EXPECT_EQ(TargetChars().substr(0, 6), "pr off");

    SetEnabled(true);
    Activate();
    Type("pr on");
    Keys({"Return"});
    ASSERT_TRUE(CommandRan());

    RanProbeEnded();
    fs::remove(ranLog_);
    SetEnabled(false);
    StartTarget("Target2");
    Activate();
    Type("pr off");
    Keys({"Return"});
    EXPECT_FALSE(CommandRan(2000));
    TargetHas("pr off\r");
    EXPECT_EQ(TargetChars().substr(0, 6), "pr off");
}

// Shift gives upper-case letters and ':' but leaves digits unshifted.
TEST_F(LauncherE2e, ShiftedKeysInTheTypedLine)
{
    WriteCatalogue();
    StartTarget();
    StartLauncher();
    Activate();
    Type("pr Ab:1!");
    Keys({"Return"});
    ASSERT_TRUE(CommandRan());
    EXPECT_NE(ReadFile(ranLog_).find("--arg Ab:11"), std::string::npos) << ReadFile(ranLog_);
}

// The tray icon's menu, opened the way the notification area does it (a
// right press on the icon) at the mouse, and its items chosen by id:
// "&Disable", then "&Enable", then "E&xit".
TEST_F(LauncherE2e, TrayMenuDisablesEnablesAndExits)
{
    WriteCatalogue();
    StartLauncher();
    auto& session = WineSession::Current();
    const auto send = [&](unsigned message, unsigned long long wParam, unsigned long long lParam) {
        session.RunWine({session.BuildFile("tests/harness/QvSend.exe"), "--title", "Preferences", "--post",
                         std::to_string(message), std::to_string(wParam), std::to_string(lParam)});
    };
    const auto menus = [&] { return inspector::Inspect("Preferences", {"menus"}).size(); };
    // Menus cannot be read from another process under Wine: the shown menu
    // is let go (WM_CANCELMODE, as a click beside it does) and the item's
    // command goes to the window that owns the menu, as a choice does.
    constexpr unsigned kCancelMode = 0x001F, kCommand = 0x0111, kRightButtonDown = 0x0204;
    constexpr unsigned kTrayIconId = 1230; // TrayIcon::kIconId
    const auto chooseFromTrayMenu = [&](int id, const std::string& shot) {
        session.Xdotool({"mousemove", "600", "400"});
        send(WM_TRAYNOTIFY, kTrayIconId, kRightButtonDown);
        EXPECT_TRUE(WaitFor([&] { return menus() == 1; })) << "no tray menu";
        session.Screenshot(shot);
        send(kCancelMode, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return menus() == 0; })) << "the tray menu stays";
        send(kCommand, id, 0);
    };

    EXPECT_TRUE(
        TrayIconTurns(kDisabledTip, [&] { chooseFromTrayMenu(IDM_TRAY_DISABLE, "launcher-tray-menu-enabled"); }));
    StartTarget();
    Activate();
    Type("pr x");
    Keys({"Return"});
    EXPECT_FALSE(CommandRan(2000)) << "still enabled after Disable";
    TargetHas("pr x\r");
    EXPECT_EQ(TargetChars().substr(0, 4), "pr x");

    EXPECT_TRUE(
        TrayIconTurns(kEnabledTip, [&] { chooseFromTrayMenu(IDM_TRAY_ENABLE, "launcher-tray-menu-disabled"); }));
    StartTarget("Target2");
    Activate();
    Type("pr y");
    Keys({"Return"});
    EXPECT_TRUE(CommandRan()) << "not enabled again after Enable";
    EXPECT_EQ(TargetChars(), "");

    RanProbeEnded();
    chooseFromTrayMenu(IDM_TRAY_EXIT, "launcher-tray-menu-exit");
    EXPECT_EQ(launcher_->WaitForExit(20000), 0);
    launcher_.reset();
    QuorvallisCommands stored;
    ASSERT_EQ(ReadCatalogue(stored), LoadOutcome::Loaded);
    EXPECT_EQ(stored.FindCommandByShortcut(L"pr")->timesExecuted, 1);
}

// A damaged file is never overwritten silently: the user is told, and the
// file is kept aside before the next save writes a fresh one.
TEST_F(LauncherE2e, ADamagedFileIsReportedAndKeptAside)
{
    std::ofstream(folder_ + "/Preferences.data", std::ios::binary) << "22 serialization::archive 9 garbage";
    StartLauncher();
    auto& session = WineSession::Current();
    EXPECT_FALSE(session.WaitForWindow("Quorvallis", 20000).empty()) << "no message box";
    session.Screenshot("launcher-damaged-file");
    EXPECT_NE(Inspect("Quorvallis", "controls").find("the damaged file was kept as"), std::string::npos);
    EXPECT_EQ(ExitLauncher(), 0);

    bool keptAside = false;
    for (const auto& entry : fs::directory_iterator(folder_)) {
        const std::string name = entry.path().filename().string();
        if (name != "Preferences.data" && name.rfind("Preferences.data", 0) == 0 &&
            ReadFile(entry.path().string()).find("garbage") != std::string::npos)
            keptAside = true;
    }
    EXPECT_TRUE(keptAside) << "the damaged file is gone";
    QuorvallisCommands stored;
    EXPECT_EQ(ReadCatalogue(stored), LoadOutcome::Loaded);
}

// A save that fails at exit is told to the user, not passed over.
TEST_F(LauncherE2e, AFailedSaveAtExitIsReported)
{
    WriteCatalogue();
    StartLauncher();
    // A folder in the file's place: nothing can replace it.
    fs::remove(folder_ + "/Preferences.data");
    fs::create_directory(folder_ + "/Preferences.data");
    PostCommand(IDM_TRAY_EXIT);
    auto& session = WineSession::Current();
    EXPECT_FALSE(session.WaitForWindow("Quorvallis", 20000).empty()) << "no message about the failed save";
    session.Screenshot("launcher-failed-save");
    EXPECT_NE(Inspect("Quorvallis", "controls").find("could not save its preferences"), std::string::npos);
    session.RunWine(
        {session.BuildFile("tests/harness/QvSend.exe"), "--title", "Quorvallis", "--post", "0x0010", "0", "0"});
    EXPECT_EQ(launcher_->WaitForExit(20000), 0);
    launcher_.reset();
}

TEST_F(LauncherE2e, ASecondCopyExitsAtOnceWithCodeZero)
{
    WriteCatalogue();
    StartLauncher();
    WineProgram second(folder_ + "/Quorvallis.exe");
    ASSERT_TRUE(second.Start());
    EXPECT_EQ(second.WaitForExit(20000), 0);
    EXPECT_EQ(ExitLauncher(), 0);
}

TEST_F(LauncherE2e, FirstStartShowsTheWindowOnceAndSavesTheDefaults)
{
    StartLauncher();
    EXPECT_FALSE(WineSession::Current().WaitForWindow("Preferences", 20000).empty());
    WineSession::Current().Screenshot("launcher-first-start");
    EXPECT_EQ(ExitLauncher(), 0);
    QuorvallisCommands stored;
    ASSERT_EQ(ReadCatalogue(stored), LoadOutcome::Loaded);
    EXPECT_TRUE(stored.shownOnce);
}

// A backup tool holds the file open without sharing while the launcher
// starts: the launcher cannot read it, says so once and where it saves
// instead, and at exit the user's file is still there byte for byte.
TEST_F(LauncherE2e, AFileHeldOpenByAnotherProgramIsNeverReplaced)
{
    WriteCatalogue();
    const std::string original = ReadFile(folder_ + "/Preferences.data");
    WineProgram holder(folder_ + "/QvProbe.exe");
    const std::string holderLog = folder_ + "/holder.log";
    ASSERT_TRUE(holder.Start(
        {"--title", "Holder", "--log", holderLog, "--hold", Narrow(WindowsPath(folder_ + "/Preferences.data"))}));
    ASSERT_TRUE(WaitFor([&] { return ReadFile(holderLog).find("holding") != std::string::npos; }, 30000));

    StartLauncher();
    auto& session = WineSession::Current();
    ASSERT_FALSE(session.WaitForWindow("Quorvallis", 20000).empty()) << "the user was not told";
    const std::string told = Inspect("Quorvallis", "controls");
    EXPECT_NE(told.find("could not be read"), std::string::npos) << told;
    EXPECT_NE(told.find("Preferences.data.new"), std::string::npos) << "not told where the changes go: " << told;
    session.RunWine(
        {session.BuildFile("tests/harness/QvSend.exe"), "--title", "Quorvallis", "--post", "0x0111", "1", "0"});
    holder.Stop();
    EXPECT_EQ(ExitLauncher(), 0);

    EXPECT_EQ(ReadFile(folder_ + "/Preferences.data"), original) << "the user's catalogue was replaced";
    QuorvallisCommands stored;
    ASSERT_EQ(ReadCatalogue(stored), LoadOutcome::Loaded);
    EXPECT_TRUE(stored.FindCommandByShortcut(L"pr"));
    EXPECT_FALSE(ReadFile(folder_ + "/Preferences.data.new").empty()) << "the session was not saved beside it";
}

// In an application that peeks at each message before taking it, one Ctrl
// is one key: what follows reaches the application. Ctrl twice still opens
// the popup, and a text with a "{" never closed types the rest of it.
TEST_F(LauncherE2e, OneCtrlInAnApplicationThatPeeksOpensNothing)
{
    WriteCatalogue(true, true, {{L"ty", L"cd{ENTER"}});
    StartTarget("Target", {"--peek"});
    StartLauncher();
    Keys({"ctrl"});
    Type("ab");
    TargetHas("ab");
    EXPECT_EQ(TargetChars(), "ab") << "one Ctrl opened the popup";

    Activate();
    Type("ty");
    Keys({"Return"});
    EXPECT_TRUE(WaitFor([&] { return TargetChars() == "abcd\r"; }, 8000)) << TargetChars();
}

// "E&xit" while a keystroke player holds Ctrl in a long delay: the player
// stops at once, lets go of Ctrl, and the key after the delay never comes.
// Then inside the activation of a window that does not answer, which
// outlasts the wait at exit: Ctrl goes up all the same.
TEST_F(LauncherE2e, LeavingMidTextLeavesNoKeyDown)
{
    WriteCatalogue(true, true, {{L"hold", L"^{DELAY 8000}c"}, {L"stall", L"^{APPACTIVATE Stalled}c"}});
    StartTarget();
    StartLauncher();
    Activate();
    Type("hold");
    const int ctrlDowns = TargetLines("down vk=17");
    Keys({"Return"});
    ASSERT_TRUE(WaitFor([&] { return TargetLines("down vk=17") > ctrlDowns; }, 8000)) << "Ctrl was not pressed";
    const int ctrlUps = TargetLines("up vk=17");

    EXPECT_EQ(ExitLauncher(), 0);
    EXPECT_TRUE(WaitFor([&] { return TargetLines("up vk=17") > ctrlUps; }, 3000)) << "Ctrl left down";
    Pause(1000);
    EXPECT_EQ(TargetLines("down vk=67"), 0) << "the text went on after the exit";

    // The window stalls as the activation reaches it, and has the launcher
    // exit then ("E&xit" is 1501).
    WineProgram stalled(folder_ + "/QvProbe.exe");
    ASSERT_TRUE(stalled.Start({"--title", "Stalled", "--stall-ms", "15000", "--stall-command", "Preferences",
                               std::to_string(IDM_TRAY_EXIT)}));
    ASSERT_FALSE(WineSession::Current().WaitForWindow("Stalled", 30000).empty());
    StartTarget("Target2");
    StartLauncher();
    Activate();
    Type("stall");
    const int stallDowns = TargetLines("down vk=17"), stallUps = TargetLines("up vk=17");
    Keys({"Return"});
    EXPECT_EQ(launcher_->WaitForExit(20000), 0);
    launcher_.reset();
    EXPECT_GT(TargetLines("down vk=17"), stallDowns) << "Ctrl was not pressed";
    EXPECT_TRUE(WaitFor([&] { return TargetLines("up vk=17") > stallUps; }, 3000)) << "Ctrl left down";
    stalled.Stop();
}

// While the launcher is stalled, keys wait for it only a moment and then go
// to the application. Ctrl twice pressed then must not open the popup once
// the launcher catches up: what is typed next reaches the application.
TEST_F(LauncherE2e, KeysTheLauncherWasTooLateForAreNotActedOnLater)
{
    WriteCatalogue();
    StartTarget();
    StartLauncher();
    auto& session = WineSession::Current();
    const std::string stallLog = folder_ + "/stall.log";
    const pid_t stall = session.StartWine(
        {session.BuildFile("tests/harness/QvSend.exe"), "--title", "Preferences", "--stall", "4000"}, stallLog);
    ASSERT_GT(stall, 0);
    ASSERT_TRUE(WaitFor([&] { return ReadFile(stallLog).find("stalled") != std::string::npos; }, 20000));
    Activate();
    EXPECT_GE(ProcessRunner::Wait(stall, 20000), 0);
    // Caught up: a message sent now is answered after the keys sent before it.
    session.RunWine({session.BuildFile("tests/harness/QvSend.exe"), "--title", "Preferences", "--send", "0", "0", "0"});
    Type("xy");
    TargetHas("xy");
    EXPECT_EQ(TargetChars(), "xy") << "keys that went to the application opened the popup later";

    // The launcher works as before.
    Activate();
    Type("pr late");
    Keys({"Return"});
    EXPECT_TRUE(CommandRan());
}

// Completion: the popup shows the rest of the most run shortcut that starts
// with the typed word, and the command's name, in a second text; Enter runs
// only what was typed; Right arrow takes the suggestion. Read from the popup
// as an accessibility tool reads it.
TEST_F(LauncherE2e, TheCompletionShownIsTakenByRightArrowAndNeverRunUnlessTaken)
{
    // Keys as they were before the list of matches: the list off.
    UserNumber listOff(UserNumber::kOptionsKey, "ShowMatches", 0);
    QuorvallisCommands catalogue;
    catalogue.shownOnce = true;
    AddProbeCommand(catalogue, 0);
    catalogue.FindCommandByShortcut(L"pr")->timesExecuted = 5;
    auto echo = catalogue.AddCommand(0, L"Echo", L"", 0, L"p");
    ASSERT_TRUE(echo && echo->SetRegularStep(StepType::EchoString, L"e"));
    WriteCatalogue(catalogue);
    StartTarget();
    StartLauncher();

    // The typed text and the completion; "<none>" without a popup.
    const auto popupText = [&](int id) { return PopupText(id); };
    const auto shows = [&](const std::string& typed, const std::string& completion) {
        return WaitFor(
            [&] { return popupText(IDC_INFO_TEXT) == typed && popupText(IDC_INFO_COMPLETION) == completion; }, 8000);
    };
    // Under Wine the hook misses keys for a moment after a popup went away;
    // the control keys are pressed again until the popup is there.
    const auto open = [&] {
        return WaitFor(
            [&] {
                Activate();
                return popupText(IDC_INFO_TEXT) == "";
            },
            20000);
    };

    // A word that no shortcut starts with: nothing extra.
    ASSERT_TRUE(open());
    Type("zq");
    EXPECT_TRUE(shows("zq", "")) << popupText(IDC_INFO_TEXT) << " / " << popupText(IDC_INFO_COMPLETION);
    // An "&" typed is shown as itself, not as the next letter underlined
    // (the static control's SS_NOPREFIX).
    constexpr unsigned long kNoPrefix = 0x80;
    const auto typedStyle = inspector::Inspect("Preferences", {"--untitled", "style", std::to_string(IDC_INFO_TEXT)});
    ASSERT_FALSE(typedStyle.empty());
    EXPECT_NE(std::stoul(typedStyle[0][0], nullptr, 16) & kNoPrefix, 0u) << typedStyle[0][0];
    Keys({"Escape"});

    // "p" is a whole shortcut, but "pr" has run more: it is suggested, and
    // Enter still runs "p", which types "e" into the target.
    ASSERT_TRUE(open());
    Type("P");
    EXPECT_TRUE(shows("P", "r  Probe")) << popupText(IDC_INFO_TEXT) << " / " << popupText(IDC_INFO_COMPLETION);
    WineSession::Current().Screenshot("launcher-popup-completion");
    Keys({"Return"});
    EXPECT_TRUE(WaitFor([&] { return TargetChars() == "e"; }, 8000)) << TargetChars();
    EXPECT_FALSE(CommandRan(1000)) << "an unaccepted suggestion ran";

    // Right arrow makes the line the whole shortcut; arguments follow.
    ASSERT_TRUE(open());
    Type("p");
    ASSERT_TRUE(shows("p", "r  Probe")) << popupText(IDC_INFO_TEXT) << " / " << popupText(IDC_INFO_COMPLETION);
    Keys({"Right"});
    EXPECT_TRUE(shows("pr", "")) << popupText(IDC_INFO_TEXT) << " / " << popupText(IDC_INFO_COMPLETION);
    Type(" done");
    Keys({"Return"});
    ASSERT_TRUE(CommandRan());
    EXPECT_NE(ReadFile(ranLog_).find("--arg done"), std::string::npos) << ReadFile(ranLog_);
    EXPECT_EQ(TargetChars(), "e") << "keys of the line reached the target";
}

// The list of matches as a user and an accessibility tool see it: a fragment
// of a name lists the command, Enter runs it with the typed argument; Down
// moves the highlight and Enter runs the row moved to; the list stands above
// the popup without taking the focus, at 96 and at 144 pixels per inch; the
// menu item turns it off and the choice is kept.
TEST_F(LauncherE2e, MatchesWhileTypingRunWhatIsHighlighted)
{
    UserNumber listOn(UserNumber::kOptionsKey, "ShowMatches", 1);
    QuorvallisCommands catalogue;
    catalogue.shownOnce = true;
    AddProbeCommand(catalogue, 0);
    auto date = catalogue.AddCommand(0, L"Print the date", L"", 27, L"pd");
    ASSERT_TRUE(date && date->SetRegularStep(StepType::EchoString, L"d"));
    WriteCatalogue(catalogue);
    StartTarget();
    StartLauncher();

    // Rows as "highlight|name|shortcut", parted by ";"; "<none>" without a list.
    const auto listRows = [] {
        int status = 0;
        const auto records = inspector::InspectClass("QuorvallisMatches", {"lines"}, &status);
        if (status != 0)
            return std::string("<none>");
        std::string rows;
        for (const auto& record : records) {
            std::string row;
            for (const std::string& field : record)
                row += (row.empty() ? "" : "|") + field;
            rows += (rows.empty() ? "" : ";") + row;
        }
        return rows;
    };
    const auto lists = [&](const std::string& rows) { return WaitFor([&] { return listRows() == rows; }, 8000); };
    const auto open = [&] {
        return WaitFor(
            [&] {
                Activate();
                return PopupText(IDC_INFO_TEXT) == "";
            },
            20000);
    };
    const auto rect = [](const std::vector<inspector::Record>& info) {
        for (const auto& r : info)
            if (r.size() == 5 && r[0] == "rect")
                return std::vector<int>{std::stoi(r[1]), std::stoi(r[2]), std::stoi(r[3]), std::stoi(r[4])};
        return std::vector<int>{};
    };

    ASSERT_TRUE(open());
    Type("prbe");
    EXPECT_TRUE(lists("1|Probe|pr")) << listRows();
    Type(" x");
    Keys({"Return"});
    ASSERT_TRUE(CommandRan());
    EXPECT_NE(ReadFile(ranLog_).find("--arg x"), std::string::npos) << ReadFile(ranLog_);
    EXPECT_TRUE(lists("<none>")) << "the list outlived the popup: " << listRows();
    // The started probe took the focus; keys go to a new target.
    RanProbeEnded();
    StartTarget("Target2");

    ASSERT_TRUE(open());
    Type("p");
    EXPECT_TRUE(lists("1|Probe|pr;0|Print the date|pd")) << listRows();
    Keys({"Down"});
    EXPECT_TRUE(lists("0|Probe|pr;1|Print the date|pd")) << listRows();
    const auto list = inspector::InspectClass("QuorvallisMatches", {"window"});
    const auto popup = rect(inspector::Inspect("Preferences", {"--untitled", "window"}));
    const auto at96 = rect(list);
    ASSERT_EQ(at96.size(), 4u);
    ASSERT_EQ(popup.size(), 4u);
    EXPECT_LE(at96[1] + at96[3], popup[1]) << "not above the popup";
    EXPECT_EQ(inspector::WindowInfo("Target2", "foreground"), inspector::Record{"1"}) << "the list took the focus";
    WineSession::Current().Screenshot("launcher-matches-96dpi");
    Keys({"Return"});
    EXPECT_TRUE(WaitFor([&] { return TargetChars() == "d"; }, 8000)) << TargetChars();

    // Off through the menu item: the completion alone, and kept for the next start.
    PostCommand(IDM_COMMAND_SHOW_MATCHES, true);
    ASSERT_TRUE(open());
    Type("p");
    EXPECT_TRUE(WaitFor([&] { return PopupText(IDC_INFO_COMPLETION) == "r  Probe"; }, 8000));
    EXPECT_EQ(listRows(), "<none>");
    Keys({"Escape"});
    EXPECT_EQ(ExitLauncher(), 0);
    EXPECT_EQ(listOn.Query(), "0x0");

    // On again, at 144 pixels per inch: the rows grow with the screen.
    {
        UserNumber dpi(UserNumber::kDesktopKey, "LogPixels", 144);
        UserNumber onAgain(UserNumber::kOptionsKey, "ShowMatches", 1);
        StartLauncher();
        ASSERT_TRUE(open());
        Type("p");
        EXPECT_TRUE(lists("1|Probe|pr;0|Print the date|pd")) << listRows();
        const auto at144 = rect(inspector::InspectClass("QuorvallisMatches", {"window"}));
        ASSERT_EQ(at144.size(), 4u);
        EXPECT_NEAR(at144[3], at96[3] * 3 / 2, at96[3] / 10) << "height at 96: " << at96[3];
        WineSession::Current().Screenshot("launcher-matches-144dpi");
        Keys({"Escape"});
    }
}

// Caps Lock pressed in the application counts for the typed line, as the
// keys came, whatever the launcher's own thread has seen of the keyboard.
TEST_F(LauncherE2e, CapsLockPressedInTheApplicationGivesCapitals)
{
    WriteCatalogue();
    StartTarget();
    StartLauncher();
    PressCapsLock();
    Activate();
    Type("pr ab");
    Keys({"Return"});
    ASSERT_TRUE(CommandRan());
    EXPECT_NE(ReadFile(ranLog_).find("--arg AB"), std::string::npos) << ReadFile(ranLog_);
}

// The same holds for a press the launcher never saw: it was disabled.
TEST_F(LauncherE2e, CapsLockPressedWhileDisabledGivesCapitalsOnceEnabled)
{
    WriteCatalogue(/*enableOnStart=*/false);
    StartTarget();
    StartLauncher();
    PressCapsLock();
    SetEnabled(true);
    Activate();
    Type("pr ab");
    Keys({"Return"});
    ASSERT_TRUE(CommandRan());
    EXPECT_NE(ReadFile(ranLog_).find("--arg AB"), std::string::npos) << ReadFile(ranLog_);
}

// A program that maps the hook library and names its own window in the
// shared section gets no key: what is typed reaches the application
// untouched (the spy would swallow it), and the launcher has the keys again
// once its window is back.
TEST_F(LauncherE2e, AnotherProgramThatNamesItsWindowToTheHookGetsNoKey)
{
    WriteCatalogue();
    fs::copy_file(WineSession::Current().BuildFile("tests/capture/QvHookPeer.exe"), folder_ + "/QvHookPeer.exe");
    StartTarget();
    StartLauncher();
    WineProgram spy(folder_ + "/QvHookPeer.exe");
    ASSERT_TRUE(spy.Start({"spy", "5000"}));
    ASSERT_TRUE(WaitFor([&] { return ReadFile(spy.LogPath()).find("ready") != std::string::npos; }, 20000));
    FocusTarget();
    Type("secret");
    EXPECT_EQ(spy.WaitForExit(20000), 0);
    EXPECT_EQ(TargetChars(), "secret");

    Activate();
    Type("pr back");
    Keys({"Return"});
    ASSERT_TRUE(CommandRan()) << "the launcher no longer gets the keys";
    EXPECT_EQ(TargetChars(), "secret");
}

} // namespace
