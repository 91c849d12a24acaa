// Start-up and idle memory of the real launcher under Wine, against Wine's
// own notepad started the same way in the same run:
//  - start-up: process creation until the program first waits for input
//    (WaitForInputIdle: the launcher's hook answers keys from then on), and
//    until its window is complete (the launcher's tree filled, notepad's
//    window shown), median of 5, with 1 000 and 10 000 commands;
//  - resident private memory once idle (RssAnon of the process, read from
//    /proc through Wine's Z: drive), with 1 000, 10 000 and 100 000 commands.
// Each process is started with a command line of its own, a marker that
// both programs skip as their own name and that Linux shows as the
// process's command line.
#include "MainWindowIds.h"
#include "bench/LauncherProcess.h"

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

using namespace launcher_bench;

namespace {

constexpr int kRuns = 5;

struct Started {
    PROCESS_INFORMATION process{};
    double startMs = -1;    // -1: did not become idle
    double completeMs = -1; // -1: its window was not complete in time
};

HWND FindDescendant(HWND parent, int id)
{
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM context) {
            auto* s = reinterpret_cast<Search*>(context);
            if (GetDlgCtrlID(child) == s->id)
                s->found = child;
            return s->found ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// True once the process's window is all there: the launcher's tree holds
// its groups (the last part of its window it builds); another program's
// window is shown.
bool WindowComplete(DWORD processId)
{
    struct Search {
        DWORD processId;
        bool complete;
    } search{processId, false};
    EnumWindows(
        [](HWND window, LPARAM context) {
            auto* s = reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != s->processId)
                return TRUE;
            wchar_t title[64] = {};
            GetWindowTextW(window, title, 64);
            if (std::wstring(title) == L"Preferences") {
                HWND tree = FindDescendant(window, IDC_GROUP_TREE);
                DWORD_PTR items = 0;
                s->complete =
                    tree && SendMessageTimeoutW(tree, TVM_GETCOUNT, 0, 0, SMTO_NORMAL, 10000, &items) && items > 0;
            } else {
                s->complete = IsWindowVisible(window);
            }
            return s->complete ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.complete;
}

std::wstring Marker(int marker)
{
    return L"qv-startup-bench-" + std::to_wstring(marker);
}

Started Start(const std::wstring& exe, int marker)
{
    Started started;
    std::wstring command = Marker(marker);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    const auto begin = Clock::now();
    if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started.process))
        return started;
    const auto since = [&] { return std::chrono::duration<double, std::milli>(Clock::now() - begin).count(); };
    if (WaitForInputIdle(started.process.hProcess, 60000) != 0)
        return started;
    started.startMs = since();
    while (since() < 60000) {
        if (WindowComplete(started.process.dwProcessId)) {
            started.completeMs = since();
            break;
        }
        Sleep(1);
    }
    return started;
}

// RssAnon of the Linux process carrying the marker, in MB; -1 when none.
double ResidentPrivateMB(int marker)
{
    const std::wstring wide = Marker(marker);
    const std::string wanted(wide.begin(), wide.end());
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return -1;
    double mib = -1;
    do {
        const std::string pid = found.cFileName;
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream commandLine("Z:\\proc\\" + pid + "\\cmdline", std::ios::binary);
        std::string first;
        commandLine >> first; // Wine may join the arguments with blanks
        if (first.substr(0, first.find('\0')) != wanted)
            continue;
        std::ifstream status("Z:\\proc\\" + pid + "\\status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("RssAnon:", 0) == 0)
                mib = std::atof(line.c_str() + 8) / 1024.0;
        }
        break;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return mib;
}

// Asks the program to close until it has (its window may not be there yet
// when it first waits for input).
void Stop(Started& started)
{
    const auto end = Clock::now() + std::chrono::seconds(30);
    do {
        EnumWindows(
            [](HWND window, LPARAM pid) {
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == static_cast<DWORD>(pid)) {
                    wchar_t title[64] = {};
                    GetWindowTextW(window, title, 64);
                    // The launcher's window hides on close; its tray menu's Exit ends it.
                    if (std::wstring(title) == L"Preferences")
                        PostMessageW(window, WM_COMMAND, IDM_TRAY_EXIT, 0);
                    else
                        PostMessageW(window, WM_CLOSE, 0, 0);
                }
                return TRUE;
            },
            static_cast<LPARAM>(started.process.dwProcessId));
    } while (WaitForSingleObject(started.process.hProcess, 200) == WAIT_TIMEOUT && Clock::now() < end);
    if (WaitForSingleObject(started.process.hProcess, 0) != WAIT_OBJECT_0)
        TerminateProcess(started.process.hProcess, 1);
    CloseHandle(started.process.hThread);
    CloseHandle(started.process.hProcess);
}

struct Subject {
    const char* name;
    std::wstring exe;
    std::wstring data; // the catalogue it starts with; empty for notepad
    int commands;
    std::vector<double> starts;
    std::vector<double> completes;
    double memoryMB = -1;
};

bool Prepare(const Subject& subject)
{
    return subject.data.empty() || WriteCatalogue(subject.data, subject.commands, true);
}

// One start of a subject; notes its time, and its memory once it is idle.
void Measure(Subject& subject, int& marker, bool timed, bool memory)
{
    Started started = Start(subject.exe, ++marker);
    if (!started.process.hProcess)
        return;
    if (timed && started.startMs >= 0)
        subject.starts.push_back(started.startMs);
    if (timed && started.completeMs >= 0)
        subject.completes.push_back(started.completeMs);
    if (memory) {
        // Idle: whatever start-up left to do later is done.
        PumpFor(3000);
        subject.memoryMB = ResidentPrivateMB(marker);
    }
    Stop(started);
}

} // namespace

int wmain()
{
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    std::vector<Subject> subjects;
    subjects.push_back({"Wine's notepad", std::wstring(windows) + L"\\notepad.exe", L"", 0, {}, {}});
    for (const int commands : {1000, 10000, 100000}) {
        const std::wstring exe = InstallLauncher((L"qv-startup-bench-" + std::to_wstring(commands)).c_str());
        if (exe.empty()) {
            std::printf("cannot copy the launcher from the build tree\n");
            return 1;
        }
        const std::wstring data = exe.substr(0, exe.rfind(L'\\') + 1) + L"Preferences.data";
        subjects.push_back({commands == 1000    ? "launcher, 1 000 commands"
                            : commands == 10000 ? "launcher, 10 000 commands"
                                                : "launcher, 100 000 commands",
                            exe,
                            data,
                            commands,
                            {},
                            {}});
    }
    for (const Subject& subject : subjects) {
        if (!Prepare(subject)) {
            std::printf("cannot write the catalogue of %s\n", subject.name);
            return 1;
        }
    }

    int marker = static_cast<int>(GetCurrentProcessId()) * 1000;
    // One start each that is not counted (files into the cache), then the
    // timed starts taken in turns so that the machine's noise falls on all.
    for (Subject& subject : subjects)
        Measure(subject, marker, false, false);
    for (int run = 0; run < kRuns; ++run) {
        for (Subject& subject : subjects) {
            if (subject.commands <= 10000)
                Measure(subject, marker, true, false);
        }
    }
    for (Subject& subject : subjects)
        Measure(subject, marker, false, true);

    // A figure that was not measured is said so, and the run fails.
    bool measured = true;
    for (const Subject& subject : subjects) {
        const bool timed = subject.commands <= 10000;
        if ((timed && (subject.starts.empty() || subject.completes.empty())) || subject.memoryMB < 0) {
            std::printf("%s: %s not measured\n", subject.name,
                        subject.memoryMB < 0     ? "memory"
                        : subject.starts.empty() ? "start-up"
                                                 : "window complete");
            measured = false;
        }
    }
    if (!measured)
        return 1;

    const Subject& notepad = subjects[0];
    const double notepadStart = Percentile(notepad.starts, 0.5);
    const double notepadComplete = Percentile(notepad.completes, 0.5);
    std::printf("start-up under Wine, median of %d, from process creation until the program first waits for input\n"
                "(WaitForInputIdle: the launcher's hook answers keys from then on), and until its window is complete\n"
                "(the launcher's toolbar, tray icon and tree filled; notepad's window shown):\n",
                kRuns);
    std::printf("  %-28s %7.0f ms (baseline);              complete %7.0f ms (baseline)\n", notepad.name, notepadStart,
                notepadComplete);
    // "before": what the same measurement gave before start-up and the
    // catalogue file were made faster.
    const double startTargets[] = {0, 1.10, 1.25};
    const double startBefore[] = {0, 1.15, 1.58};
    for (std::size_t i = 1; i < 3; ++i) {
        const double median = Percentile(subjects[i].starts, 0.5);
        const double complete = Percentile(subjects[i].completes, 0.5);
        std::printf("  %-28s %7.0f ms = %.2fx notepad (target at most %.2fx; before: %.2fx); complete %7.0f ms = "
                    "%.2fx notepad\n",
                    subjects[i].name, median, median / notepadStart, startTargets[i], startBefore[i], complete,
                    complete / notepadComplete);
    }
    std::printf("resident private memory once idle (RssAnon):\n");
    std::printf("  %-28s %7.1f MB (baseline)\n", notepad.name, notepad.memoryMB);
    for (std::size_t i = 1; i < subjects.size(); ++i) {
        std::printf("  %-28s %7.1f MB = notepad %+.1f MB", subjects[i].name, subjects[i].memoryMB,
                    subjects[i].memoryMB - notepad.memoryMB);
        std::printf(i == 1 ? " (target at most +2.0 MB; before: +2.6 MB)\n" : "\n");
    }
    return 0;
}
