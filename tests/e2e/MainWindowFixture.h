// The main window "Preferences" read and driven from another process: its
// tree and list through QvInspect, its commands through QvSend, the mouse and
// keys through xdotool.
#pragma once

#include "Inspector.h"
#include "LauncherFixture.h"

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

    std::vector<std::string> Tree() { return TreeShape(InspectLines({"tree", "1015"})); }
    std::vector<std::string> Rows() { return RowTexts(InspectLines({"list", "1003"})); }

    bool WaitForRows(const std::vector<std::string>& rows)
    {
        return WaitFor([&] { return Rows() == rows; }, 10000);
    }

    bool Visible() { return inspector::WindowInfo("Preferences", "visible") == Record{"1"}; }

    void Show()
    {
        PostCommand("1502");
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

    void MoveWindow(int x, int y, int w, int h)
    {
        InspectLines({"move", std::to_string(x), std::to_string(y), std::to_string(w), std::to_string(h)});
        WaitFor([&] { return WindowValues("rect").size() == 4 && WindowValues("rect")[0] == x; }, 5000);
        Pause(500);
    }

    // Drags the divider by `dx` with the real pointer; returns the tree's new width.
    int DragDivider(int dx)
    {
        const auto before = Controls();
        const std::vector<int> origin = WindowValues("origin");
        const Rect tree = before.at("1015");
        const Rect list = before.at("1003");
        const int x = origin[0] + (tree.right() + list.x) / 2;
        const int y = origin[1] + tree.y + tree.h / 2;
        auto& session = WineSession::Current();
        session.Xdotool({"mousemove", std::to_string(x), std::to_string(y)});
        Pause(200);
        session.Xdotool({"mousedown", "1"});
        for (int step = 1; step <= 4; ++step) {
            session.Xdotool({"mousemove", std::to_string(x + dx * step / 4), std::to_string(y)});
            Pause(150);
        }
        session.Xdotool({"mouseup", "1"});
        Pause(500);
        return Controls().at("1015").w;
    }

    // Types into the search box as a user does: click into it, type, Enter.
    void SearchFor(const std::string& text)
    {
        auto& session = WineSession::Current();
        const std::string window = session.WaitForWindow("Preferences", 10000);
        session.Xdotool({"windowfocus", "--sync", window});
        const Rect box = Controls().at("1789");
        const std::vector<int> origin = WindowValues("origin");
        session.Xdotool({"mousemove", std::to_string(origin[0] + box.x + box.w / 2),
                         std::to_string(origin[1] + box.y + box.h / 2), "click", "1"});
        Pause(300);
        InspectLines({"settext", "1789", ""});
        if (!text.empty())
            Type(text);
        Keys({"Return"});
    }

    // WM_SEARCHCOMMANDS as any program can send it, with numbers where the
    // search text once was expected.
    std::string SendSearchMessage(const std::string& boxText)
    {
        InspectLines({"settext", "1789", boxText});
        auto& session = WineSession::Current();
        return session
            .RunWine({session.BuildFile("tests/harness/QvSend.exe"), "--title", "Preferences", "--send", "1611",
                      "0xDEADBEEF", "0xFEEDFACE"})
            .output;
    }

    void SelectGroup(const std::string& name) { InspectLines({"selecttree", "1015", name}); }

    std::string RunValue()
    {
        return WineSession::Current()
            .RunWine({"reg", "query", "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "/v",
                      "Quorvallis"})
            .output;
    }
};

} // namespace launcher_e2e
