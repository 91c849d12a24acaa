// The launcher's cost to the rest of the desktop, under Wine:
//  - delay from a synthesized key press to its arrival in a window of this
//    program, with no launcher, with the launcher disabled and enabled-idle;
//  - time from starting the launcher with 10 000 commands in its file until
//    its hook is installed and its message loop answers;
//  - the launcher's private bytes while idle.
#include "catalogue/QuorvallisCommands.h"
#include "platform/win32/Win32FileStore.h"
#include "store/CatalogueFile.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

HWND g_window = nullptr;
bool g_arrived = false;

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN)
        g_arrived = true;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

std::wstring BuildFile(const wchar_t* relative)
{
    std::string unix = QV_WINDOWS_BUILD_DIR;
    std::wstring path = L"Z:" + std::wstring(unix.begin(), unix.end()) + L"/" + relative;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void PumpFor(int ms)
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
        Pump();
        Sleep(5);
    }
}

void SendKey(WORD vk, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
}

// Microseconds from SendInput to WM_KEYDOWN in our window, one per key.
std::vector<double> MeasureKeys(int count)
{
    std::vector<double> delays;
    for (int i = 0; i < count; ++i) {
        SetForegroundWindow(g_window);
        SetFocus(g_window);
        Pump();
        g_arrived = false;
        const auto start = Clock::now();
        SendKey('A' + i % 26, false);
        MSG msg;
        while (!g_arrived && Clock::now() - start < std::chrono::seconds(2)) {
            if (GetMessageW(&msg, nullptr, 0, 0) <= 0)
                break;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (g_arrived)
            delays.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        SendKey('A' + i % 26, true);
        PumpFor(10);
    }
    return delays;
}

void Report(const char* name, std::vector<double> delays, int wanted)
{
    if (delays.empty()) {
        std::printf("  %-28s no key arrived\n", name);
        return;
    }
    std::sort(delays.begin(), delays.end());
    const auto at = [&](double q) { return delays[std::min(delays.size() - 1, size_t(q * delays.size()))]; };
    std::printf("  %-28s median %8.0f us  p99 %8.0f us  (%zu of %d arrived)\n", name, at(0.5), at(0.99),
                delays.size(), wanted);
}

struct Launcher {
    PROCESS_INFORMATION process{};
    bool Start(const std::wstring& exe)
    {
        std::wstring command = L"\"" + exe + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        return CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &process) != FALSE;
    }
    // The main window once it answers messages: its initialisation (file
    // loaded, hook installed) is over and the message loop runs.
    HWND WaitUntilAnswering(int timeoutMs)
    {
        const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Clock::now() < end) {
            HWND window = FindWindowW(L"#32770", L"Preferences");
            DWORD_PTR result = 0;
            if (window && SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &result))
                return window;
            Pump();
            Sleep(2);
        }
        return nullptr;
    }
    void Exit(HWND window)
    {
        PostMessageW(window, WM_COMMAND, 1501, 0);
        WaitForSingleObject(process.hProcess, 20000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
};

bool WriteCatalogue(const std::wstring& path, int commands, bool enableOnStart)
{
    QuorvallisCommands catalogue;
    catalogue.shownOnce = true;
    catalogue.enableOnStart = enableOnStart;
    for (int i = 0; i < commands; ++i) {
        auto command = catalogue.AddCommand(0, L"Command " + std::to_wstring(i), L"notes", i % 79,
                                            L"c" + std::to_wstring(i));
        if (!command)
            return false;
        command->SetRegularStep(StepType::OpenWebPage, L"https://example.invalid/" + std::to_wstring(i));
        command->kind = CommandKind::Regular;
    }
    Win32FileStore files;
    return Save(path, catalogue, files);
}

} // namespace

int wmain()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"qv-capture-bench\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring exe = folder + L"Quorvallis.exe";
    if (!CopyFileW(BuildFile(L"app/Quorvallis.exe").c_str(), exe.c_str(), FALSE) ||
        !CopyFileW(BuildFile(L"hook/QuorvallisHOOK.dll").c_str(), (folder + L"QuorvallisHOOK.dll").c_str(), FALSE)) {
        std::printf("cannot copy the launcher from the build tree\n");
        return 1;
    }

    WNDCLASSW wc{};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QvLatencyProbe";
    RegisterClassW(&wc);
    g_window = CreateWindowExW(0, wc.lpszClassName, L"QvLatencyProbe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                               300, 200, nullptr, nullptr, wc.hInstance, nullptr);
    PumpFor(1000);
    constexpr int kKeys = 300;

    std::printf("key delivery under Wine, synthesized press to WM_KEYDOWN:\n");
    Report("no launcher", MeasureKeys(kKeys), kKeys);

    const std::wstring data = folder + L"Preferences.data";
    WriteCatalogue(data, 10, false);
    Launcher disabled;
    if (disabled.Start(exe)) {
        HWND window = disabled.WaitUntilAnswering(30000);
        PumpFor(500);
        Report("launcher disabled", MeasureKeys(kKeys), kKeys);
        if (window)
            disabled.Exit(window);
    }

    WriteCatalogue(data, 10, true);
    Launcher enabled;
    if (enabled.Start(exe)) {
        HWND window = enabled.WaitUntilAnswering(30000);
        PumpFor(500);
        Report("launcher enabled, idle", MeasureKeys(kKeys), kKeys);
        if (window)
            enabled.Exit(window);
    }

    std::printf("start to hook installed and answering, 10 000 commands in the file:\n");
    if (!WriteCatalogue(data, 10000, true)) {
        std::printf("  cannot write the catalogue\n");
        return 1;
    }
    for (int run = 0; run < 3; ++run) {
        Launcher big;
        const auto start = Clock::now();
        if (!big.Start(exe))
            break;
        HWND window = big.WaitUntilAnswering(60000);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        std::printf("  run %d: %8.0f ms\n", run + 1, window ? ms : -1.0);
        if (!window)
            break;
        PumpFor(2000);
        PROCESS_MEMORY_COUNTERS_EX memory{};
        memory.cb = sizeof(memory);
        if (GetProcessMemoryInfo(big.process.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                 sizeof(memory)))
            // Wine leaves PrivateUsage at 0; the pagefile figure is the same count there.
            std::printf("         private bytes idle %.1f MiB (pagefile usage %.1f MiB), working set %.1f MiB\n",
                        memory.PrivateUsage / 1048576.0, memory.PagefileUsage / 1048576.0,
                        memory.WorkingSetSize / 1048576.0);
        big.Exit(window);
    }
    DestroyWindow(g_window);
    return 0;
}
