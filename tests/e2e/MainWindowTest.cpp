// The main window "Preferences" as a user and an accessibility tool see it:
// its tree, list, toolbar and preferences read from another process with
// QvInspect, the search box typed into with xdotool, the window resized and
// its divider dragged with the real pointer.
#include "MainWindowFixture.h"

#include <algorithm>
#include <map>

using namespace launcher_e2e;

namespace {

// Sets the screen's pixels per inch for the programs started while it lives.
class ScreenDpi {
public:
    explicit ScreenDpi(int dpi)
    {
        Reg({"add", kKey, "/v", "LogPixels", "/t", "REG_DWORD", "/d", std::to_string(dpi), "/f"});
    }
    ~ScreenDpi() { Reg({"delete", kKey, "/v", "LogPixels", "/f"}); }

private:
    static constexpr const char* kKey = "HKCU\\Control Panel\\Desktop";
    static void Reg(std::vector<std::string> args)
    {
        args.insert(args.begin(), "reg");
        WineSession::Current().RunWine(args);
    }
};

// The "Close" button (IDOK).
constexpr int kCloseButton = 1;

const std::vector<std::string> kGeneralRows = {
    "0:Probe|pr|Regular|0",
    "42:Notes|notes|Regular|3",
    "7:Remote desktop|rd|Script|0",
    "-1:Odd|odd||0",
};
const std::vector<std::string> kTree = {"0:General*", "1:Mail", "2:Archive", "0:Scripts"};

// Search, selection and counts over groups, subgroups and commands of every
// kind; and "Search results" kept across a restart.
TEST_F(MainWindowE2e, ListsGroupsSearchesAndFollowsRunCounts)
{
    QuorvallisCommands catalogue;
    catalogue.shownOnce = true;
    AddProbeCommand(catalogue, 0);                                                         // 3
    catalogue.AddCommand(0, L"Notes", L"", 42, L"notes")->timesExecuted = 3;               // 4
    catalogue.AddCommand(0, L"Remote desktop", L"", 7, L"rd")->kind = CommandKind::Script; // 5
    catalogue.AddCommand(0, L"Odd", L"", -1, L"odd")->kind = static_cast<CommandKind>(7);  // 6
    GroupPtr mail = catalogue.AddSubgroup(catalogue.groups[0], L"Mail", 35);               // 7
    catalogue.AddSubgroup(mail, L"Archive", 38);                                           // 8
    catalogue.AddCommand(7, L"Inbox", L"", 36, L"inbox");                                  // 9
    catalogue.AddCommand(1, L"Deploy notes", L"", 4, L"dep")->kind = CommandKind::Script;  // 10
    WriteCatalogue(catalogue);
    StartLauncher();
    // Started hidden: the window is built right after the start, but the
    // selected group's rows wait until it is first shown.
    EXPECT_TRUE(WaitFor([&] { return Tree() == kTree; }, 10000)) << ::testing::PrintToString(Tree());
    EXPECT_TRUE(Rows().empty()) << "listed while hidden";
    Show();

    // The tree in the catalogue's order, subgroups depth first and expanded,
    // the last selected group ("General") selected and its own commands listed.
    EXPECT_EQ(Tree(), kTree);
    const auto items = InspectLines({"tree", Id(IDC_GROUP_TREE)});
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0], (Record{"0", "0", "3", "3", "1", "1", "1", "General"}));
    EXPECT_EQ(items[1], (Record{"1", "7", "35", "35", "0", "1", "1", "Mail"}));
    EXPECT_EQ(items[2], (Record{"2", "8", "38", "38", "0", "0", "0", "Archive"}));
    EXPECT_EQ(Rows(), kGeneralRows);
    EXPECT_TRUE(WineSession::Current().Screenshot("mainwindow-96dpi-general"));

    // Typed into the box: the hits of every group under "Search results",
    // created last and selected.
    SearchFor("ote");
    const std::vector<std::string> oteHits = {"42:Notes|notes|Regular|3", "7:Remote desktop|rd|Script|0",
                                              "4:Deploy notes|dep|Script|0"};
    EXPECT_TRUE(WaitForRows(oteHits)) << ::testing::PrintToString(Rows());
    EXPECT_EQ(Tree(), (std::vector<std::string>{"0:General", "1:Mail", "2:Archive", "0:Scripts", "0:Search results*"}));
    EXPECT_EQ(InspectLines({"tree", Id(IDC_GROUP_TREE)}).back(),
              (Record{"0", "2", "21", "21", "1", "0", "0", "Search results"}));
    EXPECT_TRUE(WineSession::Current().Screenshot("mainwindow-96dpi-search"));
    // No hit changes nothing; an empty text lists every command.
    SearchFor("zzz");
    WaitFor([&] { return InspectLines({"text", Id(IDC_SEARCH_BOX)}) == std::vector<Record>{{"zzz"}}; });
    Pause(1000);
    EXPECT_EQ(Rows(), oteHits);
    SearchFor("");
    EXPECT_TRUE(WaitFor([&] { return Rows().size() == 6; }, 10000)) << ::testing::PrintToString(Rows());
    EXPECT_EQ(Tree().size(), 5u) << "one search group, not two";

    // Another group's selection removes it.
    SelectGroup("Mail");
    EXPECT_TRUE(WaitForRows({"36:Inbox|inbox|Regular|0"}));
    EXPECT_EQ(Tree(), (std::vector<std::string>{"0:General", "1:Mail*", "2:Archive", "0:Scripts"}));

    // The search message from another program carries numbers where a text
    // pointer was once read: the window searches for what its box holds.
    const std::string sent = SendSearchMessage("rd");
    EXPECT_NE(sent.find("result 0"), std::string::npos) << sent;
    EXPECT_TRUE(WaitForRows({"7:Remote desktop|rd|Script|0"}));
    EXPECT_EQ(launcher_->WaitForExit(0), -1) << "the launcher ended";

    // A command run from the keyboard shows its new count at once.
    SelectGroup("General");
    EXPECT_TRUE(WaitForRows(kGeneralRows));
    EXPECT_EQ(Tree(), kTree);
    StartTarget();
    Activate();
    Type("pr x");
    Keys({"Return"});
    ASSERT_TRUE(CommandRan());
    std::vector<std::string> counted = kGeneralRows;
    counted[0] = "0:Probe|pr|Regular|1";
    EXPECT_TRUE(WaitForRows(counted)) << ::testing::PrintToString(Rows());

    // Hidden, a group selected lists nothing until the window shows again;
    // a search lists its hits at once, and showing keeps them.
    PostCommand(kCloseButton);
    ASSERT_TRUE(WaitFor([&] { return !Visible(); }, 10000)) << "not hidden";
    SelectGroup("Mail");
    EXPECT_TRUE(WaitFor([&] { return Rows().empty(); }, 10000)) << ::testing::PrintToString(Rows());
    SendSearchMessage("Inbox");
    EXPECT_TRUE(WaitForRows({"36:Inbox|inbox|Regular|0"}));
    Show();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"36:Inbox|inbox|Regular|0"}));

    // Leaving with "Search results" selected stores it; the next start shows
    // it selected and empty until another group is selected.
    EXPECT_EQ(ExitLauncher(), 0);
    QuorvallisCommands stored;
    ASSERT_EQ(ReadCatalogue(stored), LoadOutcome::Loaded);
    EXPECT_EQ(stored.lastSelectedGroupId, 2);
    EXPECT_EQ(stored.FindCommandByShortcut(L"pr")->timesExecuted, 1);
    StartLauncher();
    Show();
    EXPECT_EQ(Tree(), (std::vector<std::string>{"0:General", "1:Mail", "2:Archive", "0:Scripts", "0:Search results*"}));
    EXPECT_TRUE(Rows().empty());
    SelectGroup("Scripts");
    EXPECT_TRUE(WaitForRows({"4:Deploy notes|dep|Script|0"}));
    EXPECT_EQ(Tree(), (std::vector<std::string>{"0:General", "1:Mail", "2:Archive", "0:Scripts*"}));
}

// The layout, the toolbar and the preferences box: resizing keeps the
// template's rules, the divider follows the mouse and keeps its share, the
// key combos and check boxes act at once, the window hides and shows.
TEST_F(MainWindowE2e, ResizesAndKeepsItsPreferences)
{
    WriteCatalogue();
    StartLauncher();
    Show();

    // Toolbar: seven buttons with their pictures and two separators, the
    // search box after them; each button's tooltip, kept once it was shown.
    const auto buttons = InspectLines({"toolbar"});
    std::vector<std::string> layout;
    for (const Record& b : buttons)
        layout.push_back(b.size() > 4 ? b[1] + "/" + b[2] + "/" + b[4] : "?");
    EXPECT_EQ(layout, (std::vector<std::string>{"1474/0/16", "1475/1/16", "1476/2/16", "0/0/1", "1477/3/16", "0/0/1",
                                                "1478/4/16", "1479/5/16", "1480/6/16"}));
    auto controls = Controls();
    ASSERT_EQ(buttons.size(), 9u);
    const int buttonWidth = std::stoi(InspectLines({"toolbarsize"}).at(0).at(0));
    EXPECT_EQ(controls.at(Id(IDC_SEARCH_BOX)).x, controls.at("ToolbarWindow32").x + 9 * buttonWidth);
    EXPECT_EQ(controls.at(Id(IDC_SEARCH_BOX)).w, 120);
    EXPECT_EQ(controls.at(Id(IDC_SEARCH_BOX)).h, 20);
    const std::vector<int> origin = WindowValues("origin");
    for (const Record& b : buttons) {
        if (b[1] == "0")
            continue;
        const Rect toolbar = controls.at("ToolbarWindow32");
        WineSession::Current().Xdotool({"mousemove",
                                        std::to_string(origin[0] + toolbar.x + std::stoi(b[5]) + std::stoi(b[7]) / 2),
                                        std::to_string(origin[1] + toolbar.y + std::stoi(b[6]) + std::stoi(b[8]) / 2)});
        // The toolbar asks for the tip once the mouse rests on the button.
        WaitFor(
            [&] {
                for (const Record& tool : InspectLines({"tooltips"}))
                    if (tool.size() >= 3 && tool[0] == b[1] && tool[2] != "<callback>")
                        return true;
                return false;
            },
            10000);
    }
    std::map<std::string, std::string> tips;
    for (const Record& tool : InspectLines({"tooltips"}))
        if (tool.size() >= 3)
            tips[tool[0]] = tool[2];
    const std::map<std::string, std::string> expectedTips = {
        {Id(IDT_ADD_COMMAND), "Add a new entry..."},
        {Id(IDT_EDIT_COMMAND), "Edit/view the selected entry"},
        {Id(IDT_REMOVE_COMMANDS), "Remove the selected entry(ies)"},
        {Id(IDT_ADD_SCRIPT), "Add a new script..."},
        {Id(IDT_ADD_GROUP), "Add a new group..."},
        {Id(IDT_EDIT_GROUP), "Edit/view the selected group"},
        {Id(IDT_REMOVE_GROUP), "Remove the selected group(s)"},
        {Id(IDC_SEARCH_BOX), "Search for a command or more; specify the full command name or part of it only."},
        {Id(IDC_AUTO_START), "If checked then Quorvallis starts every time that windows boots."},
        {Id(IDC_ENABLE_ON_START),
         "If checked then Quorvallis starts in enabled state, allows to run commands. If not checked "
         "you'll have to enable it manually in order to run commands."},
        {Id(IDC_FIRST_KEY),
         "Select the first control key, this in combination with the next one brings the dialog that "
         "accepts the commands. You'll have to press the first and then the second control key in order "
         "to bring the dialog."},
        {Id(IDC_SECOND_KEY),
         "Select the second control key, this  in combination with the prior one brings the dialog that "
         "accepts the commands. You'll have to press the first and then the second control key in order "
         "to bring the dialog."},
    };
    EXPECT_EQ(tips, expectedTips);

    // The list's columns (a picture and a text each, the count right-aligned)
    // and the key combos.
    constexpr int HdfRight = 0x0001, HdfImageString = 0x0800 | 0x4000;
    EXPECT_EQ(InspectLines({"header", Id(IDC_COMMAND_LIST)}),
              (std::vector<Record>{{"0", "120", std::to_string(HdfImageString), "0", "Name"},
                                   {"1", "120", std::to_string(HdfImageString), "1", "Shortcut"},
                                   {"2", "120", std::to_string(HdfImageString), "2", "Type"},
                                   {"3", "120", std::to_string(HdfImageString | HdfRight), "22", "#times executed"}}));
    std::vector<std::string> keys;
    for (const Record& item : InspectLines({"combo", Id(IDC_FIRST_KEY)}))
        keys.push_back(item[5] + "=" + item[1] + (item[4] == "1" ? "*" : ""));
    EXPECT_EQ(keys, (std::vector<std::string>{"Ctrl=17*", "Shift=16", "F2=113", "F3=114", "F4=115", "F5=116", "F6=117",
                                              "F7=118", "F8=119", "F9=120", "F10=121", "F11=122", "F12=123"}));

    // Not below 600 x 400; grown, the template's rules hold and the divider
    // keeps its share of the splitter.
    MoveWindow(20, 20, 300, 200);
    EXPECT_EQ(WindowValues("rect"), (std::vector<int>{20, 20, 600, 400}));
    MoveWindow(10, 10, 760, 560);
    controls = Controls();
    std::vector<int> client = WindowValues("client");
    MoveWindow(10, 10, 1100, 820);
    auto grown = Controls();
    std::vector<int> bigger = WindowValues("client");
    const int dx = bigger[0] - client[0], dy = bigger[1] - client[1];
    const auto moved = [&](const std::string& id, int mx, int my) {
        const Rect a = controls.at(id), b = grown.at(id);
        EXPECT_EQ(b.x, a.x + mx) << id;
        EXPECT_EQ(b.y, a.y + my) << id;
        EXPECT_EQ(b.w, a.w) << id;
        EXPECT_EQ(b.h, a.h) << id;
    };
    moved(Id(kCloseButton), dx, dy);
    for (const int id : {IDC_PREFERENCES_FRAME, IDC_AUTO_START, IDC_ENABLE_ON_START, IDC_FIRST_KEY_LABEL,
                         IDC_SECOND_KEY_LABEL, IDC_FIRST_KEY, IDC_SECOND_KEY})
        moved(Id(id), 0, dy);
    const Rect frame = grown.at(Id(IDC_COMMANDS_FRAME)), splitter = grown.at("QuorvallisSplitter");
    EXPECT_EQ(frame.w, controls.at(Id(IDC_COMMANDS_FRAME)).w + dx);
    EXPECT_EQ(frame.h, controls.at(Id(IDC_COMMANDS_FRAME)).h + dy);
    EXPECT_EQ((std::vector<int>{splitter.x - frame.x, splitter.y - frame.y, frame.right() - splitter.right(),
                                frame.bottom() - splitter.bottom()}),
              (std::vector<int>{15, 25, 15, 15}));
    const double share = double(controls.at(Id(IDC_GROUP_TREE)).w) / controls.at("QuorvallisSplitter").w;
    // Each width holds the divider to a whole pixel.
    EXPECT_NEAR(double(grown.at(Id(IDC_GROUP_TREE)).w) / splitter.w, share,
                1.0 / controls.at("QuorvallisSplitter").w + 1.0 / splitter.w);
    EXPECT_EQ(grown.at(Id(IDC_STATUS_BAR)).bottom(), bigger[1]) << "status bar at the bottom";
    EXPECT_EQ(grown.at(Id(IDC_STATUS_BAR)).w, bigger[0]);
    EXPECT_TRUE(WineSession::Current().Screenshot("mainwindow-96dpi-resized"));

    // The divider follows the mouse and then keeps its new share.
    const int treeBefore = grown.at(Id(IDC_GROUP_TREE)).w;
    const int treeAfter = DragDivider(150);
    EXPECT_NEAR(treeAfter, treeBefore + 150, 2);
    EXPECT_TRUE(WineSession::Current().Screenshot("mainwindow-96dpi-divider"));
    MoveWindow(10, 10, 800, 600);
    const auto smaller = Controls();
    EXPECT_NEAR(double(smaller.at(Id(IDC_GROUP_TREE)).w) / smaller.at("QuorvallisSplitter").w,
                double(treeAfter) / splitter.w, 1.0 / smaller.at("QuorvallisSplitter").w + 1.0 / splitter.w);

    // F5 then Shift, chosen in the combos, open the typing popup at once.
    InspectLines({"selectcombo", Id(IDC_FIRST_KEY), "5"});
    InspectLines({"selectcombo", Id(IDC_SECOND_KEY), "1"});
    StartTarget();
    Keys({"F5", "shift"});
    Type("pr k");
    Keys({"Return"});
    EXPECT_TRUE(CommandRan()) << "F5 then Shift did not activate";

    // The auto-start box writes the Run value and shows what is in force.
    InspectLines({"click", Id(IDC_AUTO_START)});
    EXPECT_TRUE(
        WaitFor([&] { return RunValue().find(folder_.substr(folder_.rfind('/') + 1)) != std::string::npos; }, 10000))
        << RunValue();
    EXPECT_EQ(InspectLines({"state", Id(IDC_AUTO_START)}), (std::vector<Record>{{"1"}}));
    InspectLines({"click", Id(IDC_AUTO_START)});
    EXPECT_TRUE(WaitFor([&] { return RunValue().find("Quorvallis.exe") == std::string::npos; }, 10000)) << RunValue();
    EXPECT_EQ(InspectLines({"state", Id(IDC_AUTO_START)}), (std::vector<Record>{{"0"}}));
    InspectLines({"click", Id(IDC_ENABLE_ON_START)});
    EXPECT_TRUE(WaitFor(
        [&] {
            return InspectLines({"state", Id(IDC_ENABLE_ON_START)}) == std::vector<Record>{{"0"}};
        },
        5000));

    // Help > About and the system menu's "About Quorvallis" open the about box.
    auto& session = WineSession::Current();
    for (const std::vector<std::string>& open :
         {std::vector<std::string>{"--post", "0x0111", Id(IDM_HELP_ABOUT), "0"},
          std::vector<std::string>{"--post", "0x0112", Id(IDM_SYSTEM_ABOUT), "0"}}) {
        std::vector<std::string> send{session.BuildFile("tests/harness/QvSend.exe"), "--title", "Preferences"};
        send.insert(send.end(), open.begin(), open.end());
        session.RunWine(send);
        EXPECT_FALSE(session.WaitForWindow("About", 10000).empty()) << open[2];
        EXPECT_TRUE(session.Screenshot("mainwindow-about-" + open[2]));
        session.RunWine(
            {session.BuildFile("tests/harness/QvSend.exe"), "--title", "About", "--post", "0x0111", "1", "0"});
        EXPECT_TRUE(WaitFor([&] { return InspectLines({"window"}, "About").size() <= 1; }, 10000));
    }

    // The close box, File > Close and the Close button only hide the window.
    for (const std::vector<std::string>& hide :
         {std::vector<std::string>{"--post", "0x0010", "0", "0"},
          std::vector<std::string>{"--post", "0x0111", Id(IDM_FILE_CLOSE), "0"}}) {
        std::vector<std::string> send{session.BuildFile("tests/harness/QvSend.exe"), "--title", "Preferences"};
        send.insert(send.end(), hide.begin(), hide.end());
        session.RunWine(send);
        EXPECT_TRUE(WaitFor([&] { return !Visible(); }, 10000)) << hide[1];
        Show();
    }
    InspectLines({"click", "1"});
    EXPECT_TRUE(WaitFor([&] { return !Visible(); }, 10000)) << "Close button";

    EXPECT_EQ(ExitLauncher(), 0);
    QuorvallisCommands stored;
    ASSERT_EQ(ReadCatalogue(stored), LoadOutcome::Loaded);
    EXPECT_EQ(stored.firstControlKey, 116u);
    EXPECT_EQ(stored.secondControlKey, 16u);
    EXPECT_FALSE(stored.autoStart);
    EXPECT_FALSE(stored.enableOnStart);
}

// The tray icon says whether the launcher is enabled, and leaves with the
// launcher, also after the taskbar announced itself again.
TEST_F(MainWindowE2e, TrayIconFollowsTheStateAndLeavesNoGhost)
{
    const auto trayTips = [&] { return TrayTips(); };
    const auto before = trayTips();
    const auto withOurs = [&](const std::string& tip) {
        std::vector<std::string> tips = before;
        tips.push_back(tip);
        return tips;
    };
    WriteCatalogue();
    StartLauncher();
    EXPECT_TRUE(WaitFor([&] { return trayTips() == withOurs("Quorvallis (enabled)"); }, 10000))
        << ::testing::PrintToString(trayTips());
    PostCommand(IDM_TRAY_DISABLE);
    EXPECT_TRUE(WaitFor([&] { return trayTips() == withOurs("Quorvallis (disabled)"); }, 10000))
        << ::testing::PrintToString(trayTips());
    auto& session = WineSession::Current();
    session.RunWine({session.BuildFile("tests/harness/QvSend.exe"), "--title", "Preferences", "--send",
                     "TaskbarCreated", "0", "0"});
    EXPECT_EQ(trayTips(), withOurs("Quorvallis (disabled)"));
    EXPECT_EQ(ExitLauncher(), 0);
    EXPECT_TRUE(WaitFor([&] { return trayTips() == before; }, 10000)) << ::testing::PrintToString(trayTips());
}

// At 144 pixels per inch: the first start shows the window with "General"
// selected; the layout, the divider and the about box's banner at that size.
TEST_F(MainWindowE2e, FirstStartAt144Dpi)
{
    {
        ScreenDpi dpi(144);
        StartLauncher();
        ASSERT_FALSE(WineSession::Current().WaitForWindow("Preferences", 20000).empty());
    }
    EXPECT_EQ(Tree(), (std::vector<std::string>{"0:General*", "0:Scripts"}));
    EXPECT_TRUE(Rows().empty());
    MoveWindow(10, 10, 1150, 900);
    EXPECT_TRUE(WineSession::Current().Screenshot("mainwindow-144dpi-resized"));
    const int tree = Controls().at(Id(IDC_GROUP_TREE)).w;
    EXPECT_NEAR(DragDivider(200), tree + 200, 2);
    EXPECT_TRUE(WineSession::Current().Screenshot("mainwindow-144dpi-divider"));
    auto& session = WineSession::Current();
    session.RunWine({session.BuildFile("tests/harness/QvSend.exe"), "--title", "Preferences", "--post", "0x0111",
                     Id(IDM_HELP_ABOUT), "0"});
    EXPECT_FALSE(session.WaitForWindow("About", 10000).empty());
    EXPECT_TRUE(session.Screenshot("mainwindow-144dpi-about"));
    session.RunWine({session.BuildFile("tests/harness/QvSend.exe"), "--title", "About", "--post", "0x0111", "1", "0"});
    EXPECT_EQ(ExitLauncher(), 0);
    QuorvallisCommands stored;
    ASSERT_EQ(ReadCatalogue(stored), LoadOutcome::Loaded);
    EXPECT_TRUE(stored.shownOnce);
}

} // namespace
