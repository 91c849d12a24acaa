// The editing actions' costs under Wine, on the real launcher:
//  - an accepted edit of a command with 10 000 and 100 000 commands: from OK
//    until the editor is gone (Wine on a display without a window manager
//    waits up to 2 s for a hidden window's state, whatever the program), and
//    from then to the row rewritten (the window answers again) and to the
//    file saved;
//  - key delivery while saves of 100 000 commands run, against the same
//    launcher idle, in the same run.
#include "bench/LauncherProcess.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace launcher_bench;

namespace {

constexpr int kEditCommand = 40006;
constexpr int kEnableOnStart = 1008;
constexpr int kShortcutField = 1012;

// QvInspect from the build tree, for what needs memory in the launcher.
bool Inspect(const std::wstring& args)
{
    std::wstring command = L"\"" + BuildFile(L"tests/harness/QvInspect.exe") + L"\" " + args;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process))
        return false;
    WaitForSingleObject(process.hProcess, 30000);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code == 0;
}

ULONGLONG WriteTime(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

HWND WaitForWindow(const wchar_t* title, int timeoutMs)
{
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < end) {
        if (HWND window = FindWindowW(L"#32770", title))
            if (IsWindowVisible(window))
                return window;
        Sleep(2);
    }
    return nullptr;
}

double Since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Edits the first command's shortcut `rounds` times; prints the medians.
// False, saying why, when no edit was measured.
bool MeasureEdits(const std::wstring& exe, const std::wstring& data, int commands, int rounds)
{
    if (!WriteCatalogue(data, commands, false)) {
        std::printf("  cannot write the catalogue\n");
        return false;
    }
    Launcher launcher;
    if (!launcher.Start(exe))
        return false;
    HWND window = launcher.WaitUntilAnswering(120000);
    if (!window) {
        std::printf("  the launcher did not answer\n");
        return false;
    }
    // The window lists its rows only as it shows, and the request to show
    // waits behind the rest of the start-up: a row selected before then is
    // not there, and Edit with nothing selected opens no editor.
    PostMessageW(window, WM_COMMAND, 1502, 0);
    const auto shown = Clock::now();
    bool selected = false;
    while (!(selected = Inspect(L"--title Preferences selectrows 1003 0")) && Since(shown) < 60000)
        PumpFor(200);
    std::vector<double> closed, rewritten, saved;
    for (int round = 0; round < rounds && selected; ++round) {
        PostMessageW(window, WM_COMMAND, kEditCommand, 0);
        HWND editor = selected ? WaitForWindow(L"Edit the command...", 20000) : nullptr;
        if (!editor)
            break;
        const std::wstring shortcut = L"edited" + std::to_wstring(round);
        SendMessageW(GetDlgItem(editor, kShortcutField), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(shortcut.c_str()));
        const ULONGLONG before = WriteTime(data);
        const auto start = Clock::now();
        // Posted, as a click is: the editor's loop takes it and ends.
        PostMessageW(GetDlgItem(editor, IDOK), BM_CLICK, 0, 0);
        while (IsWindow(editor) && Since(start) < 60000)
            Sleep(0);
        const double editorClosed = Since(start);
        closed.push_back(editorClosed);
        // The action goes on without a message loop until the row shows the
        // edit; then the window answers.
        DWORD_PTR result = 0;
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
        rewritten.push_back(Since(start) - editorClosed);
        while (WriteTime(data) == before && Since(start) < 60000)
            Sleep(1);
        saved.push_back(Since(start) - editorClosed);
        PumpFor(200);
    }
    if (saved.empty()) {
        std::printf("  %6d commands: no edit measured (%s)\n", commands,
                    selected ? "the editor did not open" : "no row could be selected");
        launcher.Exit(window);
        return false;
    }
    std::printf("  %6d commands: OK to editor closed %7.1f ms; then to row rewritten %6.1f ms, to file saved %6.1f ms "
                "(medians of %zu edits)\n",
                commands, Percentile(closed, 0.5), Percentile(rewritten, 0.5), Percentile(saved, 0.5), saved.size());
    launcher.Exit(window);
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring exe = InstallLauncher(L"qv-actions-bench");
    if (exe.empty()) {
        std::printf("cannot copy the launcher from the build tree\n");
        return 1;
    }
    const std::wstring data = exe.substr(0, exe.rfind(L'\\') + 1) + L"Preferences.data";

    // "keys" as the argument measures only the key delivery. A figure that
    // was not measured is said so, and the run fails.
    bool measured = true;
    if (argc < 2 || std::wstring(argv[1]) != L"keys") {
        std::printf("an accepted edit of a command, under Wine:\n");
        measured &= MeasureEdits(exe, data, 10000, 7);
        measured &= MeasureEdits(exe, data, 100000, 5);
    }

    std::printf("key delivery with 100 000 commands, synthesized press to WM_KEYDOWN:\n");
    KeyProbe probe;
    constexpr int kKeys = 1000;
    if (!WriteCatalogue(data, 100000, true))
        return 1;
    Launcher launcher;
    if (!launcher.Start(exe))
        return 1;
    HWND window = launcher.WaitUntilAnswering(120000);
    if (!window)
        return 1;
    PostMessageW(window, WM_COMMAND, 1502, 0);
    PumpFor(1000);
    const std::vector<double> idle = probe.Measure(kKeys);
    measured &= Report("launcher enabled, idle", idle, kKeys);

    // A click on "Enable on start" is a change the launcher saves; the next
    // click follows as soon as a save has reached the file, so that a save
    // runs throughout.
    HWND box = GetDlgItem(window, kEnableOnStart);
    int saves = 0;
    ULONGLONG lastWrite = WriteTime(data);
    PostMessageW(box, BM_CLICK, 0, 0);
    const auto keysStart = Clock::now();
    const std::vector<double> saving = probe.Measure(kKeys, [&] {
        const ULONGLONG now = WriteTime(data);
        if (now != lastWrite) {
            lastWrite = now;
            ++saves;
            PostMessageW(box, BM_CLICK, 0, 0);
        }
    });
    const double seconds = Since(keysStart) / 1000;
    measured &= Report("launcher enabled, saves running", saving, kKeys);
    if (saves == 0 || !measured) {
        if (saves == 0)
            std::printf("  no save finished while the keys were measured\n");
        launcher.Exit(window);
        return 1;
    }
    std::printf("  %d saves finished in the %.1f s measured; p99 added by the saves: %.0f us\n", saves, seconds,
                Percentile(saving, 0.99) - Percentile(idle, 0.99));
    launcher.Exit(window);
    return 0;
}
