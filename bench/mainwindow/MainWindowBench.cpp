// The main window's costs under Wine, each against a baseline of this run:
//  - SearchCommands over 10 000 and 100 000 commands, against the walk over
//    every record that it replaced;
//  - the window ready (tree and list filled, first paint) with 10 000
//    commands in one group;
//  - a search listing 100 000 hits, and going back to a group from there.
#include "UnmanagedWindows.h"
#include "catalogue/QuorvallisCommands.h"
#include "platform/IFileStore.h"
#include "platform/ILineWorkers.h"
#include "platform/WindowMessages.h"
#include "ui/main/DlgPreferences.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <boost/make_shared.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point since)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// Median of `rounds` runs of `work`, in milliseconds.
double Median(int rounds, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        work();
        times.push_back(Milliseconds(start));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

boost::shared_ptr<QuorvallisCommands> Catalogue(int commands)
{
    auto catalogue = boost::make_shared<QuorvallisCommands>();
    catalogue->enableOnStart = false;
    for (int i = 0; i < commands; ++i) {
        wchar_t shortcut[16];
        std::swprintf(shortcut, 16, L"s%06d", i);
        CommandPtr command = catalogue->AddCommand(0, L"Command " + std::to_wstring(i), L"", i % 79, shortcut);
        command->SetRegularStep(StepType::OpenWebPage, L"http://example.org/%%");
    }
    return catalogue;
}

// SearchCommands as it was: every record visited.
int SearchEveryRecord(QuorvallisCommands& catalogue, const std::wstring& text)
{
    auto lock = catalogue.Lock();
    catalogue.searchResults.clear();
    for (const CommandPtr& command : catalogue.allCommands) {
        if (command &&
            (command->name.find(text) != std::wstring::npos || command->shortcut.find(text) != std::wstring::npos))
            catalogue.searchResults.push_back(command);
    }
    return static_cast<int>(catalogue.searchResults.size());
}

void BenchSearchCommands()
{
    std::printf("SearchCommands, median of 21 (ms): every record visited (before) / the block of text (now)\n");
    std::printf("%10s %-8s %8s %12s %12s\n", "commands", "text", "hits", "before", "now");
    struct Row {
        double before, now;
    };
    std::vector<std::vector<Row>> rows;
    const std::wstring texts[] = {L"77", L"zz", L""};
    for (int size : {10000, 100000}) {
        auto catalogue = Catalogue(size);
        std::vector<Row> row;
        for (const std::wstring& text : texts) {
            const int hits = catalogue->SearchCommands(text);
            const double before = Median(21, [&] { SearchEveryRecord(*catalogue, text); });
            const double now = Median(21, [&] { catalogue->SearchCommands(text); });
            std::printf("%10d %-8ls %8d %12.3f %12.3f\n", size, text.empty() ? L"(empty)" : text.c_str(), hits, before,
                        now);
            row.push_back(Row{before, now});
        }
        rows.push_back(row);
    }
    for (size_t t = 0; t < std::size(texts); ++t)
        std::printf("growth 10 000 -> 100 000, text %-8ls: before x%.1f, now x%.1f\n",
                    texts[t].empty() ? L"(empty)" : texts[t].c_str(), rows[1][t].before / rows[0][t].before,
                    rows[1][t].now / rows[0][t].now);
}

class NoWorkers : public ILineWorkers {
public:
    bool Start(const std::wstring&) override { return false; }
};

// No file: the window keeps the catalogue it was given; saves go nowhere.
class NoFiles : public IFileStore {
public:
    ReadResult ReadAll(const std::wstring&, std::string&) override { return ReadResult::Missing; }
    bool WriteDurably(const std::wstring&, const std::string&) override { return true; }
    bool CopyOver(const std::wstring&, const std::wstring&) override { return true; }
    bool ReplaceWith(const std::wstring&, const std::wstring&) override { return true; }
    bool MoveAside(const std::wstring&, const std::wstring&) override { return true; }
    bool Remove(const std::wstring&) override { return true; }
    bool Exists(const std::wstring&) override { return false; }
    std::wstring LastError() const override { return std::wstring(); }
};

struct Opened {
    double created; // tree and list filled
    double painted; // shown and painted once
};

Opened OpenWindow(DlgPreferences& window)
{
    const auto start = Clock::now();
    window.CreateModeless(nullptr);
    const double created = Milliseconds(start);
    ShowWindow(window.hwnd(), SW_SHOW);
    RedrawWindow(window.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
    return Opened{created, Milliseconds(start)};
}

void BenchWindow()
{
    NoWorkers workers;
    auto files = std::make_shared<NoFiles>();
    const std::wstring program = L"C:\\bench\\Quorvallis.exe";
    {
        std::vector<double> created, painted, empty;
        for (int i = 0; i < 5; ++i) {
            auto catalogue = Catalogue(10000);
            DlgPreferences window(catalogue, workers, files, program);
            const Opened opened = OpenWindow(window);
            created.push_back(opened.created);
            painted.push_back(opened.painted);
            Pump();
        }
        for (int i = 0; i < 5; ++i) {
            auto catalogue = Catalogue(0);
            DlgPreferences window(catalogue, workers, files, program);
            empty.push_back(OpenWindow(window).painted);
            Pump();
        }
        std::sort(created.begin(), created.end());
        std::sort(painted.begin(), painted.end());
        std::sort(empty.begin(), empty.end());
        std::printf("window ready, 10 000 commands in one group, median of 5: filled %.1f ms, painted %.1f ms "
                    "(empty catalogue: %.1f ms; target < 150 ms)\n",
                    created[2], painted[2], empty[2]);
    }

    auto catalogue = Catalogue(100000);
    DlgPreferences window(catalogue, workers, files, program);
    OpenWindow(window);
    HWND list = window.view().list();
    HWND tree = window.view().tree();
    SetWindowTextW(window.toolbar().searchBox(), L"Command");
    const double search = Median(5, [&] {
        SendMessageW(window.hwnd(), WM_SEARCHCOMMANDS, 0, 0);
        UpdateWindow(list);
    });
    const int rows = ListView_GetItemCount(list);
    // Back to "General", which lists the same 100 000 commands again.
    std::vector<double> back;
    for (int i = 0; i < 5; ++i) {
        SendMessageW(window.hwnd(), WM_SEARCHCOMMANDS, 0, 0);
        const auto start = Clock::now();
        TreeView_SelectItem(tree, TreeView_GetRoot(tree));
        UpdateWindow(list);
        back.push_back(Milliseconds(start));
    }
    std::sort(back.begin(), back.end());
    std::printf("search listing %d hits, median of 5: %.1f ms (target < 300 ms); back to the group: %.1f ms\n", rows,
                search, back[2]);
}

} // namespace

int main()
{
    int exitCode = 0;
    if (RunUnmanagedUnderWine(&exitCode))
        return exitCode;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_USEREX_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                                        ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    BenchSearchCommands();
    // An icon of the bench's own keeps the notification area shown: under a
    // bare X server, showing it for the window's first icon and hiding it
    // after the last waits two seconds for a window manager.
    UniqueWindow keeper(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof(icon);
    icon.hWnd = keeper.get();
    icon.uFlags = NIF_ICON;
    icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    Shell_NotifyIconW(NIM_ADD, &icon);
    BenchWindow();
    Shell_NotifyIconW(NIM_DELETE, &icon);
    return 0;
}
