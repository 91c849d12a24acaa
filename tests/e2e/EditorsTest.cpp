// The command, group, script and step editors under Wine, each run modally
// by the shell program (tests/ui/editors) and driven as a user drives them:
// keys and clicks through X, the inspector for what the controls show. The
// shell prints what a caller reads back after the run; that is compared.
#include "ArtworkIds.h"
#include "EditorIds.h"
#include "Inspector.h"
#include "ProcessRunner.h"
#include "WaitFor.h"
#include "WineProgram.h"
#include "WineSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using inspector::Record;

constexpr const char* kCommandAdd = "Add new command...";
constexpr const char* kCommandEdit = "Edit the command...";
constexpr const char* kScript = "Script";
constexpr const char* kStepAdd = "Add new step...";
constexpr const char* kStepEdit = "Edit the step...";
constexpr const char* kError = "Error!";

// Control ids of the templates.
constexpr int kOk = 1;     // IDOK
constexpr int kCancel = 2; // IDCANCEL
constexpr int kType = IDC_QV_TYPE;
constexpr int kField = IDC_QV_COMMAND;
constexpr int kBrowse = IDC_QV_BROWSE;
constexpr int kShortcut = IDC_QV_SHORTCUT;
constexpr int kName = IDC_QV_NAME;
constexpr int kStepList = IDC_QV_STEP_LIST;
constexpr int kAddStep = IDC_QV_ADD_STEP;
constexpr int kRemoveSteps = IDC_QV_REMOVE_STEPS;
constexpr int kEditStep = IDC_QV_EDIT_STEP;
constexpr int kIconButton = IDC_QV_ICON_BUTTON;
constexpr int kIconList = IDC_QV_ICON_LIST;
constexpr int kValueLabel = IDC_QV_VALUE_LABEL;
constexpr int kHotKey = IDC_QV_HOT_KEY;
constexpr int kOrChoose = IDC_QV_OR_CHOOSE;
constexpr int kNotes = IDC_QV_NOTES;
constexpr int kGroup = IDC_QV_GROUP;
constexpr int kMessageText = 0xFFFF; // a message box's text

constexpr unsigned kMultiLine = 0x0004;  // ES_MULTILINE
constexpr unsigned kClientEdge = 0x0200; // WS_EX_CLIENTEDGE

struct Control {
    std::string cls;
    bool visible = false;
    int x = 0, y = 0, w = 0, h = 0;
    std::string text;
};

// One run of the shell program with one editor.
class EditorRun {
public:
    explicit EditorRun(const std::string& name)
        : folder_(WineProgram::FreshFolder("editors-" + name, {"tests/ui/editors/QvEditorsShell.exe"})),
          program_(folder_ + "/QvEditorsShell.exe")
    {
    }

    const std::string& folder() const { return folder_; }

    bool Start(const std::vector<std::string>& args, const std::string& title)
    {
        return program_.Start(args) && WaitForWindow(title);
    }

    std::vector<Record> Inspect(const std::string& title, const std::vector<std::string>& args, int* status = nullptr)
    {
        return inspector::Inspect(title, args, status);
    }

    Record WindowInfo(const std::string& title, const std::string& name) { return inspector::WindowInfo(title, name); }

    // Waits until the window is shown: it exists, hidden, while its
    // controls are still being made.
    bool WaitForWindow(const std::string& title, int timeoutMs = 20000)
    {
        return WaitFor([&] { return WindowInfo(title, "visible") == Record{"1"}; }, timeoutMs);
    }

    bool WaitGone(const std::string& title)
    {
        return WaitFor([&] { return WindowInfo(title, "visible").empty(); });
    }

    // Every control with its id, in tab order (inner windows of a control
    // follow it).
    std::vector<std::pair<int, Control>> ControlList(const std::string& title)
    {
        std::vector<std::pair<int, Control>> controls;
        for (const Record& r : Inspect(title, {"controls"})) {
            if (r.size() >= 8)
                controls.emplace_back(std::stoi(r[0]),
                                      Control{r[1], r[2] == "1", std::stoi(r[4]), std::stoi(r[5]), std::stoi(r[6]),
                                              std::stoi(r[7]), r.size() > 8 ? r[8] : ""});
        }
        return controls;
    }

    // Controls by id; the first of a repeated id (an extended combo box
    // before its inner combo box) stands for it.
    std::map<int, Control> Controls(const std::string& title)
    {
        std::map<int, Control> controls;
        for (const auto& control : ControlList(title))
            controls.emplace(control.first, control.second);
        return controls;
    }

    std::string Text(const std::string& title, int id)
    {
        const auto records = Inspect(title, {"text", std::to_string(id)});
        return records.empty() || records[0].empty() ? "" : records[0][0];
    }

    // Waits until the control shows `text`; returns what it shows then.
    std::string WaitForText(const std::string& title, int id, const std::string& text)
    {
        std::string shown;
        WaitFor([&] { return (shown = Text(title, id)) == text; });
        return shown;
    }

    std::pair<unsigned, unsigned> Style(const std::string& title, int id)
    {
        const auto records = Inspect(title, {"style", std::to_string(id)});
        if (records.empty() || records[0].size() < 2)
            return {0, 0};
        return {std::stoul(records[0][0], nullptr, 16), std::stoul(records[0][1], nullptr, 16)};
    }

    // The selected item of a combo box, or -1.
    int Selected(const std::string& title, int id)
    {
        for (const Record& r : Inspect(title, {"combo", std::to_string(id)}))
            if (r.size() >= 5 && r[4] == "1")
                return std::stoi(r[0]);
        return -1;
    }

    // Combo items as "data image indent text".
    std::vector<std::string> Combo(const std::string& title, int id)
    {
        std::vector<std::string> items;
        for (const Record& r : Inspect(title, {"combo", std::to_string(id)}))
            if (r.size() >= 6)
                items.push_back(r[1] + " " + r[2] + " " + r[3] + " " + r[5]);
        return items;
    }

    // List rows as "step-id image selected type-text command-text".
    std::vector<std::string> Rows()
    {
        std::vector<std::string> rows;
        for (const Record& r : Inspect(kScript, {"list", std::to_string(kStepList)}))
            if (r.size() >= 6)
                rows.push_back(r[1] + " " + r[2] + " " + r[3] + " " + r[4] + " " + r[5]);
        return rows;
    }

    // The step ids of the rows, top down, with selected ones starred.
    std::string Order()
    {
        std::string order;
        for (const Record& r : Inspect(kScript, {"list", std::to_string(kStepList)}))
            if (r.size() >= 4)
                order += r[1] + (r[3] == "1" ? "*" : "") + " ";
        return order;
    }

    // The step list's focused row and selection mark, as "focus mark".
    std::string FocusAndMark()
    {
        const auto records = Inspect(kScript, {"listfocus", std::to_string(kStepList)});
        return records.empty() || records[0].size() < 2 ? "" : records[0][0] + " " + records[0][1];
    }

    std::pair<int, int> Origin(const std::string& title)
    {
        const Record origin = WindowInfo(title, "origin");
        return origin.size() == 2 ? std::make_pair(std::stoi(origin[0]), std::stoi(origin[1])) : std::make_pair(0, 0);
    }

    void ClickAt(int x, int y, const std::string& button = "1", const std::string& repeat = "1")
    {
        auto& session = WineSession::Current();
        session.Xdotool({"mousemove", std::to_string(x), std::to_string(y)});
        session.Xdotool({"click", "--repeat", repeat, "--delay", "120", button});
    }

    void Click(const std::string& title, int id)
    {
        const auto origin = Origin(title);
        const Control control = Controls(title)[id];
        auto& session = WineSession::Current();
        session.Xdotool({"mousemove", std::to_string(origin.first + control.x + control.w / 2),
                         std::to_string(origin.second + control.y + control.h / 2)});
        // An icon button lit up under the mouse holds the capture until the
        // mouse has left it, and a click before then would go to it: wait
        // until the move has reached the program.
        WaitFor(
            [&] {
                const Record capture = WindowInfo(title, "capture");
                return capture == Record{"none"} || capture == Record{std::to_string(id)};
            },
            5000);
        session.Xdotool({"click", "1"});
    }

    // Clicks inside a row of the step list, or `below` rows further down.
    void ClickRow(int row, const std::string& button = "1", const std::string& repeat = "1", int below = 0)
    {
        const auto origin = Origin(kScript);
        const auto rect = Inspect(kScript, {"rowrect", std::to_string(kStepList), std::to_string(row)});
        ASSERT_FALSE(rect.empty());
        ASSERT_EQ(rect[0].size(), 4u);
        const int height = std::stoi(rect[0][3]);
        ClickAt(origin.first + std::stoi(rect[0][0]) + 40,
                origin.second + std::stoi(rect[0][1]) + height / 2 + below * height, button, repeat);
    }

    void Keys(const std::vector<std::string>& keys)
    {
        std::vector<std::string> args{"key", "--delay", "120"};
        args.insert(args.end(), keys.begin(), keys.end());
        WineSession::Current().Xdotool(args);
    }

    void Type(const std::string& text) { WineSession::Current().Xdotool({"type", "--delay", "60", text}); }

    void Command(const std::string& title, int id) { Inspect(title, {"sendcommand", std::to_string(id)}); }
    void Select(const std::string& title, int combo, int item)
    {
        Inspect(title, {"selectcombo", std::to_string(combo), std::to_string(item)});
    }
    void SelectRows(const std::string& rows) { Inspect(kScript, {"selectrows", std::to_string(kStepList), rows}); }
    void SetText(const std::string& title, int id, const std::string& text)
    {
        Inspect(title, {"settext", std::to_string(id), text});
    }

    // The message of the "Error!" box that OK brought up; closes it with
    // Enter, as a user does. A screenshot of the box when `shot` is named.
    std::string ErrorAfterOk(const std::string& title, const std::string& shot = "")
    {
        Click(title, kOk);
        if (!WaitForWindow(kError, 10000))
            return "(no message box)";
        const std::string text = Text(kError, kMessageText);
        if (!shot.empty())
            Shot(shot);
        Keys({"Return"});
        if (!WaitGone(kError))
            return "(the message box stays)";
        return text;
    }

    void Shot(const std::string& name) { EXPECT_TRUE(WineSession::Current().Screenshot("editors-" + name)); }

    // What the shell printed, from its "result" line on, once it has ended
    // with `expectedExit`. Wine's own notices before it are left out.
    std::vector<std::string> Finish(int expectedExit)
    {
        EXPECT_EQ(program_.WaitForExit(20000), expectedExit);
        std::ifstream log(program_.LogPath());
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(log, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!lines.empty() || line.rfind("result ", 0) == 0)
                lines.push_back(line);
        }
        return lines;
    }

private:
    std::string folder_;
    WineProgram program_;
};

// The lines of a printed block that start with `prefix`.
std::vector<std::string> Starting(const std::vector<std::string>& lines, const std::string& prefix)
{
    std::vector<std::string> found;
    for (const auto& line : lines)
        if (line.rfind(prefix, 0) == 0)
            found.push_back(line);
    return found;
}

// The shell's groups as the editors list them: depth first, indented, the
// search results (id 2) left out.
const std::vector<std::string> kGroups = {
    "0 3 0 General", "3 34 1 Work", "4 31 2 Reports", "5 54 1 Home", "1 4 0 Scripts",
};

const std::vector<std::string> kStoredScript = {
    "stored name Morning",
    "stored shortcut mo",
    "stored notes First thing",
    "stored icon 13",
    "stored group 4",
    "stored kind 2",
    "stored lastStepId 3",
    "stored step 0 3 -1 65535 65535 A",
    "stored step 1 1 -1 65535 65535 http://b.example",
    "stored step 2 4 -1 13 2 Ctrl+Enter",
    "stored step 3 6 -1 65535 65535 Gone action",
};

TEST(Editors, CommandEditorChecksOneInputAtATimeAndRebuildsTheCommandField)
{
    EditorRun run("command-add");
    // Asked to preselect the search results (id 2), which the list leaves out.
    ASSERT_TRUE(run.Start({"command-add", "2"}, kCommandAdd));

    EXPECT_EQ(run.Combo(kCommandAdd, kType),
              (std::vector<std::string>{"1 5 0 Open web site", "2 6 0 Execute", "3 7 0 Echo string"}));
    EXPECT_EQ(run.Selected(kCommandAdd, kType), 0);
    EXPECT_EQ(run.Combo(kCommandAdd, kGroup), kGroups);
    EXPECT_EQ(run.Selected(kCommandAdd, kGroup), -1);
    auto controls = run.Controls(kCommandAdd);
    EXPECT_EQ(controls[kField].text, "http://");
    EXPECT_FALSE(controls[kBrowse].visible);
    const Control startField = controls[kField];
    const Control notes = controls[kNotes];

    // The type list follows the shortcut in the tab order; arrow keys choose.
    run.Click(kCommandAdd, kName);
    run.Keys({"Tab", "Tab", "Tab", "Down"});
    ASSERT_TRUE(WaitFor([&] { return run.Controls(kCommandAdd)[kBrowse].visible; })) << "Execute did not show Browse";
    controls = run.Controls(kCommandAdd);
    EXPECT_EQ(controls[kField].text, "");
    EXPECT_EQ(controls[kField].cls, "Edit");
    EXPECT_EQ(std::make_tuple(controls[kField].x, controls[kField].y, controls[kField].w, controls[kField].h),
              std::make_tuple(startField.x, startField.y, startField.w, startField.h));
    // The new field keeps its place in the tab order: after its label, before Browse.
    const auto list = run.ControlList(kCommandAdd);
    const auto field = std::find_if(list.begin(), list.end(), [](const auto& c) { return c.first == kField; });
    ASSERT_TRUE(field != list.end() && field != list.begin() && field + 1 != list.end());
    EXPECT_EQ((field - 1)->second.text, "Command:");
    EXPECT_EQ((field + 1)->first, kBrowse);

    // Nothing typed yet: the name is asked for first, and the input stays.
    EXPECT_EQ(run.ErrorAfterOk(kCommandAdd, "command-error"), "Please, specify the name.");
    EXPECT_EQ(run.Selected(kCommandAdd, kType), 1);
    run.Click(kCommandAdd, kName);
    run.Type("Mail");
    ASSERT_EQ(run.WaitForText(kCommandAdd, kName, "Mail"), "Mail");
    EXPECT_EQ(run.ErrorAfterOk(kCommandAdd), "Please, specify the command.");

    // "Echo string": a tall field ending 10 pixels above the notes, where
    // Enter makes a new line.
    run.Click(kCommandAdd, kName);
    run.Keys({"Tab", "Tab", "Tab", "Down"});
    ASSERT_TRUE(WaitFor([&] { return run.Style(kCommandAdd, kField).first & kMultiLine; })) << "no multi-line field";
    controls = run.Controls(kCommandAdd);
    EXPECT_FALSE(controls[kBrowse].visible);
    EXPECT_EQ(std::make_tuple(controls[kField].x, controls[kField].y, controls[kField].w),
              std::make_tuple(startField.x, startField.y, startField.w));
    EXPECT_EQ(controls[kField].y + controls[kField].h, notes.y - 10);
    EXPECT_TRUE(run.Style(kCommandAdd, kField).second & kClientEdge);
    run.Keys({"Tab"});
    run.Type("hello");
    run.Keys({"Return"});
    run.Type("there");
    ASSERT_EQ(run.WaitForText(kCommandAdd, kField, "hello  there"), "hello  there");
    run.Shot("command-add-echo");
    EXPECT_EQ(run.ErrorAfterOk(kCommandAdd), "Please, specify the command shortcut.");

    run.Click(kCommandAdd, kShortcut);
    run.Type("ml");
    ASSERT_EQ(run.WaitForText(kCommandAdd, kShortcut, "ml"), "ml");
    // No group is selected: OK does not hand back the combo's -1.
    EXPECT_EQ(run.ErrorAfterOk(kCommandAdd), "Please, select the group.");

    // The group list is the first stop of the tab order: Down from no
    // selection takes "General", two more reach "Reports".
    run.Click(kCommandAdd, kName);
    run.Keys({"shift+Tab", "Down", "Down", "Down"});
    ASSERT_TRUE(WaitFor([&] { return run.Selected(kCommandAdd, kGroup) == 2; }));
    run.Click(kCommandAdd, kOk);
    EXPECT_EQ(run.Finish(1), (std::vector<std::string>{"result 1", "type 3", "text hello\\r\\nthere", "name Mail",
                                                       "notes ", "shortcut ml", "icon 0", "group 4"}));
}

TEST(Editors, CommandEditorEditsTheStoredCommandPicksAnIconAndQuotesABrowsedProgram)
{
    EditorRun run("command-edit");
    // A program in a folder with blanks, for Browse.
    std::filesystem::create_directories(run.folder() + "/a b");
    std::ofstream(run.folder() + "/a b/x.exe") << "MZ";
    ASSERT_TRUE(
        run.Start({"command-edit", "1", "7", "4", "Mail", "Read it", "ml", "http://mail.example"}, kCommandEdit));

    auto controls = run.Controls(kCommandEdit);
    EXPECT_EQ(controls[kField].text, "http://mail.example");
    EXPECT_EQ(controls[kName].text, "Mail");
    EXPECT_EQ(controls[kNotes].text, "Read it");
    EXPECT_EQ(controls[kShortcut].text, "ml");
    EXPECT_FALSE(controls[kBrowse].visible);
    EXPECT_EQ(run.Combo(kCommandEdit, kGroup), kGroups);
    EXPECT_EQ(run.Selected(kCommandEdit, kGroup), 2);
    run.Shot("command-edit");
    // Choosing the type already shown keeps the address.
    run.Select(kCommandEdit, kType, 0);
    EXPECT_EQ(run.Text(kCommandEdit, kField), "http://mail.example");

    // Cancel in the picker keeps the icon; OK there takes the picked one.
    run.Click(kCommandEdit, kIconButton);
    ASSERT_TRUE(run.WaitForWindow("Select an icon..."));
    run.Click("Select an icon...", kCancel);
    ASSERT_TRUE(run.WaitGone("Select an icon..."));
    run.Click(kCommandEdit, kIconButton);
    ASSERT_TRUE(run.WaitForWindow("Select an icon..."));
    run.Inspect("Select an icon...", {"selectrows", std::to_string(kIconList), "12"});
    run.Click("Select an icon...", kOk);
    ASSERT_TRUE(run.WaitGone("Select an icon..."));

    // "Execute", then Browse: a path with blanks comes back quoted, so that
    // process creation cannot take C:\...\a.exe for it.
    run.Click(kCommandEdit, kName);
    run.Keys({"Tab", "Tab", "Tab", "Down"});
    ASSERT_TRUE(WaitFor([&] { return run.Controls(kCommandEdit)[kBrowse].visible; }));
    run.Click(kCommandEdit, kBrowse);
    ASSERT_TRUE(run.WaitForWindow("Open"));
    std::string windowsPath = "Z:" + run.folder() + "/a b/x.exe";
    std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
    run.Type(windowsPath);
    run.Keys({"Return"});
    ASSERT_TRUE(run.WaitGone("Open"));
    const std::string quoted = "\"" + windowsPath + "\"";
    ASSERT_EQ(run.WaitForText(kCommandEdit, kField, quoted), quoted);

    run.Click(kCommandEdit, kOk);
    EXPECT_EQ(run.Finish(1), (std::vector<std::string>{"result 1", "type 2", "text " + quoted, "name Mail",
                                                       "notes Read it", "shortcut ml", "icon 12", "group 4"}));
}

TEST(Editors, GroupEditorAsksForTheNameAndCancelChangesNothing)
{
    EditorRun add("group-add");
    ASSERT_TRUE(add.Start({"group-add"}, "Add new group..."));
    EXPECT_EQ(add.ErrorAfterOk("Add new group..."), "Please, specify the group name.");
    add.Click("Add new group...", kName);
    add.Type("Travel");
    ASSERT_EQ(add.WaitForText("Add new group...", kName, "Travel"), "Travel");
    add.Click("Add new group...", kIconButton);
    ASSERT_TRUE(add.WaitForWindow("Select an icon..."));
    add.Inspect("Select an icon...", {"selectrows", std::to_string(kIconList), "53"});
    add.Click("Select an icon...", kOk);
    ASSERT_TRUE(add.WaitGone("Select an icon..."));
    add.Shot("group-add");
    // Enter in the name field is OK.
    add.Click("Add new group...", kName);
    add.Keys({"Return"});
    EXPECT_EQ(add.Finish(1), (std::vector<std::string>{"result 1", "name Travel", "icon 53"}));

    EditorRun edit("group-edit");
    ASSERT_TRUE(edit.Start({"group-edit", "Work", "34"}, "Edit the group..."));
    EXPECT_EQ(edit.Text("Edit the group...", kName), "Work");
    edit.Click("Edit the group...", kName);
    edit.Type("Job");
    edit.Keys({"Escape"});
    EXPECT_EQ(edit.Finish(2), (std::vector<std::string>{"result 2"}));
}

TEST(Editors, ScriptEditorMovesRowsWithTheirStepsAndEditsStepsInPlace)
{
    EditorRun run("script-edit");
    ASSERT_TRUE(run.Start({"script-edit", "4"}, kScript));
    EXPECT_EQ(run.Text(kScript, kName), "Morning");
    EXPECT_EQ(run.Text(kScript, kShortcut), "mo");
    EXPECT_EQ(run.Combo(kScript, kGroup), kGroups);
    EXPECT_EQ(run.Selected(kScript, kGroup), 2);
    const auto header = run.Inspect(kScript, {"header", std::to_string(kStepList)});
    ASSERT_EQ(header.size(), 2u);
    EXPECT_EQ((std::vector<std::string>{header[0][1], header[0][3], header[0][4]}),
              (std::vector<std::string>{"120", "2", "Type"}));
    EXPECT_EQ((std::vector<std::string>{header[1][1], header[1][3], header[1][4]}),
              (std::vector<std::string>{"420", "20", "Command"}));
    EXPECT_EQ(run.Rows(), (std::vector<std::string>{"0 7 0 Echo string A", "1 5 0 Open web page http://b.example",
                                                    "2 9 0 Send key Ctrl+Enter", "3 19 0 Custom Gone action"}));
    // The step's text has no picture (I_IMAGENONE), rather than one asked for.
    EXPECT_EQ(run.Inspect(kScript, {"list", std::to_string(kStepList)})[0].back(), "-2");

    // Selected blocks at either edge keep their order; the others move as
    // blocks. The rows show the steps' ids.
    // The focus and the selection mark (on the first listed row) move with it.
    const struct {
        const char* rows;
        int move;
        const char* order;
        const char* focusAndMark;
    } moves[] = {
        {"0,1", IDM_QV_STEP_UP, "0* 1* 2 3 ", "0 0"},   // block at the top
        {"2,3", IDM_QV_STEP_DOWN, "0 1 2* 3* ", "2 2"}, // block at the bottom
        {"1,3", IDM_QV_STEP_TOP, "1* 3* 0 2 ", "0 0"},   {"0,2", IDM_QV_STEP_BOTTOM, "3 2 1* 0* ", "2 2"},
        {"0", IDM_QV_STEP_UP, "3* 2 1 0 ", "0 0"},       // single row at the top
        {"3", IDM_QV_STEP_DOWN, "3 2 1 0* ", "3 3"},     // single row at the bottom
        {"0,1,3", IDM_QV_STEP_UP, "3* 2* 0* 1 ", "0 0"}, // block at the top and one more
    };
    for (const auto& move : moves) {
        run.SelectRows(move.rows);
        run.Command(kScript, move.move);
        EXPECT_EQ(run.Order(), move.order) << "rows " << move.rows << ", command " << move.move;
        EXPECT_EQ(run.FocusAndMark(), move.focusAndMark) << "rows " << move.rows << ", command " << move.move;
    }

    // The popup menu, from the keyboard: "&Add", "&Edit", then "&Up" and
    // "&Down" after a separator.
    run.SelectRows("");
    run.ClickRow(3);
    ASSERT_TRUE(WaitFor([&] { return run.Order() == "3 2 0 1* "; })) << run.Order();
    run.ClickRow(3, "3");
    run.Shot("script-menu");
    run.Keys({"Down", "Down", "Down", "Return"});
    ASSERT_TRUE(WaitFor([&] { return run.Order() == "3 2 1* 0 "; })) << run.Order();
    // Shift+Up extends the selection from the moved row.
    run.Keys({"shift+Up"});
    ASSERT_TRUE(WaitFor([&] { return run.Order() == "3 2* 1* 0 "; })) << run.Order();
    run.ClickRow(2);
    ASSERT_TRUE(WaitFor([&] { return run.Order() == "3 2 1* 0 "; })) << run.Order();
    run.ClickRow(2, "3");
    run.Keys({"Down", "Down", "Down", "Down", "Return"});
    ASSERT_TRUE(WaitFor([&] { return run.Order() == "3 2 0 1* "; })) << run.Order();
    // With no row selected the menu holds "&Add" alone: every Down key
    // stays on it.
    run.SelectRows("");
    run.ClickRow(3, "3", "1", 2);
    run.Keys({"Down", "Down", "Return"});
    ASSERT_TRUE(run.WaitForWindow(kStepAdd));
    run.Keys({"Escape"});
    ASSERT_TRUE(run.WaitGone(kStepAdd));
    EXPECT_EQ(run.Order(), "3 2 0 1 ");

    // A double click edits: a stored Ctrl+Enter is not shown as "Enter".
    run.ClickRow(1, "1", "2");
    ASSERT_TRUE(run.WaitForWindow(kStepEdit));
    EXPECT_EQ(run.Selected(kStepEdit, kType), 4);
    EXPECT_EQ(run.Selected(kStepEdit, kOrChoose), 0);
    EXPECT_EQ(run.Combo(kStepEdit, kOrChoose)[0], "-1 -2 0 None");
    EXPECT_TRUE(run.Controls(kStepEdit)[kHotKey].visible);
    EXPECT_EQ(run.Text(kStepEdit, kValueLabel), "Key:");
    run.Shot("step-key");
    run.Click(kStepEdit, kOk);
    ASSERT_TRUE(run.WaitGone(kStepEdit)) << run.Text(kError, kMessageText);
    // The text comes from Wine's keyboard layout, which names the keys so.
    ASSERT_TRUE(WaitFor([&] { return run.Rows()[1] == "2 9 1 Send key Control+Return"; })) << run.Rows()[1];

    // A plugin that is gone selects no type; OK keeps the step as it was.
    run.SelectRows("0");
    run.Click(kScript, kEditStep);
    ASSERT_TRUE(run.WaitForWindow(kStepEdit));
    EXPECT_EQ(run.Combo(kStepEdit, kType).size(), 7u);
    EXPECT_EQ(run.Selected(kStepEdit, kType), -1);
    run.Click(kStepEdit, kOk);
    ASSERT_TRUE(run.WaitGone(kStepEdit)) << run.Text(kError, kMessageText);
    EXPECT_EQ(run.Rows()[0], "3 19 1 Custom Gone action");

    // The web step becomes "Execute", then "Echo string": the field is
    // emptied each time and turns multi-line, ending above OK.
    run.SelectRows("3");
    run.Click(kScript, kEditStep);
    ASSERT_TRUE(run.WaitForWindow(kStepEdit));
    EXPECT_EQ(run.Text(kStepEdit, kField), "http://b.example");
    run.Select(kStepEdit, kType, 0);
    EXPECT_EQ(run.Text(kStepEdit, kField), "http://b.example");
    run.Keys({"Down"});
    ASSERT_TRUE(WaitFor([&] { return run.Controls(kStepEdit)[kBrowse].visible; }));
    EXPECT_EQ(run.Text(kStepEdit, kField), "");
    EXPECT_EQ(run.Text(kStepEdit, kValueLabel), "Executable path:");
    run.Keys({"Down"});
    ASSERT_TRUE(WaitFor([&] { return run.Style(kStepEdit, kField).first & kMultiLine; }));
    auto step = run.Controls(kStepEdit);
    EXPECT_EQ(step[kField].text, "");
    EXPECT_EQ(step[kValueLabel].text, "String:");
    EXPECT_FALSE(step[kBrowse].visible);
    EXPECT_EQ(step[kField].y + step[kField].h, step[kOk].y - 10);
    run.SetText(kStepEdit, kField, "typed");
    run.Shot("step-echo");
    run.Click(kStepEdit, kOk);
    ASSERT_TRUE(run.WaitGone(kStepEdit)) << run.Text(kError, kMessageText);
    EXPECT_EQ(run.Rows()[3], "1 7 1 Echo string typed");

    // Remove asks first; No keeps the row.
    run.SelectRows("2");
    run.Click(kScript, kRemoveSteps);
    ASSERT_TRUE(run.WaitForWindow("Remove?"));
    EXPECT_EQ(run.Text("Remove?", kMessageText), "Remove selected steps?");
    run.Click("Remove?", 7); // No
    ASSERT_TRUE(run.WaitGone("Remove?"));
    EXPECT_EQ(run.Order(), "3 2 0* 1 ");
    run.Click(kScript, kRemoveSteps);
    ASSERT_TRUE(run.WaitForWindow("Remove?"));
    run.Click("Remove?", 6); // Yes
    ASSERT_TRUE(WaitFor([&] { return run.Order() == "3 2 1 "; }));

    // A new step takes the next id, never a removed one's.
    run.Click(kScript, kAddStep);
    ASSERT_TRUE(run.WaitForWindow(kStepAdd));
    run.Select(kStepAdd, kType, 3);
    ASSERT_EQ(run.WaitForText(kStepAdd, kValueLabel, "Pause time (ms):"), "Pause time (ms):");
    run.SetText(kStepAdd, kField, "250");
    run.Select(kStepAdd, kType, 3);
    EXPECT_EQ(run.Text(kStepAdd, kField), "250");
    run.Click(kStepAdd, kOk);
    ASSERT_TRUE(run.WaitGone(kStepAdd));
    EXPECT_EQ(run.Rows()[3], "4 8 0 Pause (ms) Pause 250 ms");
    run.Shot("script-edit");

    run.Click(kScript, kOk);
    const auto out = run.Finish(1);
    EXPECT_EQ(Starting(out, "step "),
              (std::vector<std::string>{"step 3 6 -1 65535 65535 Gone action", "step 2 4 -1 13 2 Control+Return",
                                        "step 1 3 -1 65535 65535 typed", "step 4 5 250 65535 65535 Pause 250 ms"}));
    EXPECT_EQ(Starting(out, "lastStepId"), (std::vector<std::string>{"lastStepId 4"}));
    EXPECT_EQ(Starting(out, "group"), (std::vector<std::string>{"group 4", "group 4"}));
    EXPECT_EQ(Starting(out, "stored"), kStoredScript);
}

TEST(Editors, ScriptEditorMakesOneStepOfEachTypeAndChecksItsOk)
{
    EditorRun run("script-add");
    ASSERT_TRUE(run.Start({"script-add", "1"}, kScript));
    EXPECT_TRUE(run.Rows().empty());
    EXPECT_EQ(run.Selected(kScript, kGroup), 4);

    // Opens the step editor with Add and chooses a type the way a user does.
    auto addStep = [&](int type) {
        run.Click(kScript, kAddStep);
        ASSERT_TRUE(run.WaitForWindow(kStepAdd));
        if (type > 0)
            run.Select(kStepAdd, kType, type);
    };
    auto okStep = [&](size_t rows) {
        run.Click(kStepAdd, kOk);
        ASSERT_TRUE(run.WaitGone(kStepAdd));
        ASSERT_TRUE(WaitFor([&] { return run.Rows().size() == rows; }));
    };

    addStep(0);
    EXPECT_EQ(run.Text(kStepAdd, kField), "http://");
    run.SetText(kStepAdd, kField, "");
    EXPECT_EQ(run.ErrorAfterOk(kStepAdd), "Please, specify the web address.");
    run.SetText(kStepAdd, kField, "http://x.example");
    okStep(1);

    addStep(1);
    EXPECT_EQ(run.ErrorAfterOk(kStepAdd), "Please, specify the executable path.");
    run.SetText(kStepAdd, kField, "C:\\x.exe");
    okStep(2);

    addStep(2);
    EXPECT_EQ(run.ErrorAfterOk(kStepAdd), "Please, specify the string.");
    run.Click(kStepAdd, kField);
    run.Type("hi");
    run.Keys({"Return"});
    run.Type("there");
    ASSERT_EQ(run.WaitForText(kStepAdd, kField, "hi  there"), "hi  there");
    okStep(3);

    // Pauses the executor would refuse are refused here, with the range.
    addStep(3);
    EXPECT_EQ(run.ErrorAfterOk(kStepAdd), "Please, specify the pause time.");
    for (const char* refused : {"0", "100001", "99999999999"}) {
        run.SetText(kStepAdd, kField, refused);
        EXPECT_EQ(run.ErrorAfterOk(kStepAdd), "Please, specify a pause time from 1 to 100000 ms.") << refused;
    }
    run.SetText(kStepAdd, kField, "250");
    okStep(4);

    // A key pressed with all three modifiers, named in the order Ctrl, Alt, Shift.
    addStep(4);
    EXPECT_EQ(run.ErrorAfterOk(kStepAdd), "Please, specify the key.");
    run.Click(kStepAdd, kHotKey);
    run.Keys({"shift+ctrl+alt+k"});
    okStep(5);

    // "Or choose:" wins over what the hot-key control holds.
    addStep(4);
    run.Click(kStepAdd, kHotKey);
    run.Keys({"ctrl+F5"});
    run.Select(kStepAdd, kOrChoose, 2);
    okStep(6);

    // A plugin action with a long name is stored whole.
    addStep(6);
    EXPECT_FALSE(run.Controls(kStepAdd)[kValueLabel].visible);
    okStep(7);

    EXPECT_EQ(run.ErrorAfterOk(kScript), "Please, specify the name.");
    run.SetText(kScript, kName, "Evening");
    EXPECT_EQ(run.ErrorAfterOk(kScript), "Please, specify the command shortcut.");
    run.SetText(kScript, kShortcut, "ev");
    run.Click(kScript, kOk);
    const auto out = run.Finish(1);
    const std::string longName = "Long action " + std::string(238, 'x');
    EXPECT_EQ(
        Starting(out, "step "),
        (std::vector<std::string>{"step 0 1 -1 65535 65535 http://x.example", "step 1 2 -1 65535 65535 C:\\x.exe",
                                  "step 2 3 -1 65535 65535 hi\\r\\nthere", "step 3 5 250 65535 65535 Pause 250 ms",
                                  // Wine's layout names the keys; 75 is K, 7 Shift, Ctrl and Alt.
                                  "step 4 4 -1 75 7 Control+Alt+Shift+K", "step 5 4 -1 27 0 Escape",
                                  "step 6 6 -1 65535 65535 " + longName}));
    EXPECT_EQ(Starting(out, "name"), (std::vector<std::string>{"name Evening"}));
    EXPECT_EQ(Starting(out, "icon"), (std::vector<std::string>{"icon 4"}));
    EXPECT_EQ(Starting(out, "kind"), (std::vector<std::string>{"kind 2"}));
    EXPECT_EQ(Starting(out, "group"), (std::vector<std::string>{"group 1", "group 1"}));
}

TEST(Editors, ScriptEditorCancelLeavesTheStoredScriptAlone)
{
    EditorRun run("script-cancel");
    ASSERT_TRUE(run.Start({"script-edit", "4"}, kScript));
    run.SelectRows("0");
    run.Click(kScript, kEditStep);
    ASSERT_TRUE(run.WaitForWindow(kStepEdit));
    run.SetText(kStepEdit, kField, "Z");
    run.Click(kStepEdit, kOk);
    ASSERT_TRUE(run.WaitGone(kStepEdit)) << run.Text(kError, kMessageText);
    EXPECT_EQ(run.Rows()[0], "0 7 1 Echo string Z");
    run.Click(kScript, kCancel);
    EXPECT_EQ(run.Finish(2), [] {
        std::vector<std::string> lines{"result 2"};
        lines.insert(lines.end(), kStoredScript.begin(), kStoredScript.end());
        return lines;
    }());
}

} // namespace
