// The main window "Preferences" read and driven from another process: its
// tree and list through QvInspect, its commands through QvSend, the mouse and
// keys through xdotool.
#pragma once

#include "Inspector.h"
#include "LauncherFixture.h"
#include "platform/WindowMessages.h"

#include <map>
#include <string>
#include <vector>

namespace launcher_e2e {

using inspector::Record;

// A tree item as "depth:text", with "*" when selected.
inline std::vector<std::string> TreeShape(const std::vector<Record>& items)
{
    std::vector<std::string> shape;
    for (const Record& item : items)
        if (item.size() >= 8)
            shape.push_back(item[0] + ":" + item[7] + (item[4] == "1" ? "*" : ""));
    return shape;
}

// A list row as its four cells joined by "|", with the image in front.
inline std::vector<std::string> RowTexts(const std::vector<Record>& rows)
{
    std::vector<std::string> texts;
    for (const Record& row : rows)
        if (row.size() >= 8)
            texts.push_back(row[2] + ":" + row[4] + "|" + row[5] + "|" + row[6] + "|" + row[7]);
    return texts;
}

inline std::string Id(int id)
{
    return std::to_string(id);
}

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    int right() const { return x + w; }
    int bottom() const { return y + h; }
};

class MainWindowE2e : public LauncherE2e {
protected:
    std::vector<Record> InspectLines(const std::vector<std::string>& args, const std::string& title = "Preferences")
    {
        return inspector::Inspect(title, args);
    }

    std::vector<std::string> Tree() { return TreeShape(InspectLines({"tree", Id(IDC_GROUP_TREE)})); }
    std::vector<std::string> Rows() { return RowTexts(InspectLines({"list", Id(IDC_COMMAND_LIST)})); }

    bool WaitForRows(const std::vector<std::string>& rows)
    {
        return WaitFor([&] { return Rows() == rows; }, 10000);
    }

    bool Visible() { return inspector::WindowInfo("Preferences", "visible") == Record{"1"}; }

    void Show()
    {
        PostCommand(IDM_TRAY_PREFERENCES);
        ASSERT_TRUE(WaitFor([&] { return Visible(); }, 10000)) << "not shown";
    }

    // The rectangles of the controls (client coordinates), by id or by class
    // for those without an id.
    std::map<std::string, Rect> Controls()
    {
        std::map<std::string, Rect> controls;
        for (const Record& c : InspectLines({"controls"})) {
            if (c.size() < 8)
                continue;
            const Rect rect{std::stoi(c[4]), std::stoi(c[5]), std::stoi(c[6]), std::stoi(c[7])};
            controls.emplace(c[0] == "0" ? c[1] : c[0], rect);
        }
        return controls;
    }

    // "rect", "client" or "origin" of the window.
    std::vector<int> WindowValues(const std::string& name)
    {
        std::vector<int> values;
        for (const std::string& value : inspector::WindowInfo("Preferences", name))
            values.push_back(std::stoi(value));
        return values;
    }

    // Moves and sizes the window; returns once its controls are laid out
    // for the new size (the status bar, placed last, along its bottom).
    void MoveWindow(int x, int y, int w, int h)
    {
        InspectLines({"move", std::to_string(x), std::to_string(y), std::to_string(w), std::to_string(h)});
        WaitFor(
            [&] {
                const std::vector<int> rect = WindowValues("rect"), client = WindowValues("client");
                const auto controls = Controls();
                const auto status = controls.find(Id(IDC_STATUS_BAR));
                return rect.size() == 4 && rect[0] == x && client.size() == 2 && status != controls.end() &&
                       status->second.bottom() == client[1] && status->second.w == client[0];
            },
            5000);
    }

    // Drags the divider by `dx` with the real pointer; returns the tree's
    // new width once the window has let the mouse go.
    int DragDivider(int dx)
    {
        const auto before = Controls();
        const std::vector<int> origin = WindowValues("origin");
        const Rect tree = before.at(Id(IDC_GROUP_TREE));
        const Rect list = before.at(Id(IDC_COMMAND_LIST));
        const int x = origin[0] + (tree.right() + list.x) / 2;
        const int y = origin[1] + tree.y + tree.h / 2;
        auto& session = WineSession::Current();
        session.Xdotool({"mousemove", std::to_string(x), std::to_string(y)});
        session.Xdotool({"mousedown", "1"});
        for (int step = 1; step <= 4; ++step)
            session.Xdotool({"mousemove", std::to_string(x + dx * step / 4), std::to_string(y)});
        session.Xdotool({"mouseup", "1"});
        int width = tree.w;
        WaitFor(
            [&] {
                width = Controls().at(Id(IDC_GROUP_TREE)).w;
                return width != tree.w && inspector::WindowInfo("Preferences", "capture") == Record{"none"};
            },
            5000);
        return width;
    }

    // Types into the search box as a user does: click into it, type, Enter.
    void SearchFor(const std::string& text)
    {
        auto& session = WineSession::Current();
        const std::string window = session.WaitForWindow("Preferences", 10000);
        session.Xdotool({"windowfocus", "--sync", window});
        const Rect box = Controls().at(Id(IDC_SEARCH_BOX));
        const std::vector<int> origin = WindowValues("origin");
        session.Xdotool({"mousemove", std::to_string(origin[0] + box.x + box.w / 2),
                         std::to_string(origin[1] + box.y + box.h / 2), "click", "1"});
        WaitFor([&] { return inspector::WindowInfo("Preferences", "focus") == Record{Id(IDC_SEARCH_BOX)}; }, 5000);
        InspectLines({"settext", Id(IDC_SEARCH_BOX), ""});
        if (!text.empty())
            Type(text);
        Keys({"Return"});
    }

    // WM_SEARCHCOMMANDS as any program can send it, with numbers where the
    // search text once was expected.
    std::string SendSearchMessage(const std::string& boxText)
    {
        InspectLines({"settext", Id(IDC_SEARCH_BOX), boxText});
        auto& session = WineSession::Current();
        return session
            .RunWine({session.BuildFile("tests/harness/QvSend.exe"), "--title", "Preferences", "--send",
                      std::to_string(WM_SEARCHCOMMANDS), "0xDEADBEEF", "0xFEEDFACE"})
            .output;
    }

    void SelectGroup(const std::string& name) { InspectLines({"selecttree", Id(IDC_GROUP_TREE), name}); }

    std::string RunValue()
    {
        return WineSession::Current()
            .RunWine({"reg", "query", "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "/v", "Quorvallis"})
            .output;
    }
};

} // namespace launcher_e2e
