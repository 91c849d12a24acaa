// What the benchmarks that run the real launcher under Wine share: the
// launcher started from a folder of its own with a catalogue file of N
// commands, and the delay of synthesized keys to a window of the benchmark.
#pragma once

#include "catalogue/QuorvallisCommands.h"
#include "platform/win32/Win32FileStore.h"
#include "store/CatalogueFile.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace launcher_bench {

using Clock = std::chrono::steady_clock;

inline std::wstring BuildFile(const wchar_t* relative)
{
    std::string unix = QV_WINDOWS_BUILD_DIR;
    std::wstring path = L"Z:" + std::wstring(unix.begin(), unix.end()) + L"/" + relative;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

inline void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

inline void PumpFor(int ms)
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
        Pump();
        Sleep(5);
    }
}

// A copy of the launcher and its hook in a temporary folder; returns the
// program's path, or nothing.
inline std::wstring InstallLauncher(const wchar_t* folderName)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + folderName + L"\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring exe = folder + L"Quorvallis.exe";
    if (!CopyFileW(BuildFile(L"app/Quorvallis.exe").c_str(), exe.c_str(), FALSE) ||
        !CopyFileW(BuildFile(L"hook/QuorvallisHOOK.dll").c_str(), (folder + L"QuorvallisHOOK.dll").c_str(), FALSE))
        return {};
    return exe;
}

struct Launcher {
    PROCESS_INFORMATION process{};
    bool Start(const std::wstring& exe)
    {
        std::wstring command = L"\"" + exe + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        return CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process) !=
               FALSE;
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
        WaitForSingleObject(process.hProcess, 60000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
};

inline bool WriteCatalogue(const std::wstring& path, int commands, bool enableOnStart)
{
    QuorvallisCommands catalogue;
    catalogue.shownOnce = true;
    catalogue.enableOnStart = enableOnStart;
    for (int i = 0; i < commands; ++i) {
        if (!catalogue.AddCommand(0, L"Command " + std::to_wstring(i), L"notes", i % 79, L"c" + std::to_wstring(i),
                                  StepType::OpenWebPage, L"https://example.invalid/" + std::to_wstring(i)))
            return false;
    }
    Win32FileStore files;
    return Save(path, catalogue, files);
}

// A window of the benchmark that notes the arrival of each key press.
class KeyProbe {
public:
    KeyProbe()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &KeyProbe::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QvLatencyProbe";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(0, wc.lpszClassName, L"QvLatencyProbe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300,
                                  200, nullptr, nullptr, wc.hInstance, nullptr);
        PumpFor(1000);
    }
    ~KeyProbe() { DestroyWindow(window_); }

    // The window takes the focus, as the application a user types into.
    void Focus()
    {
        SetForegroundWindow(window_);
        SetFocus(window_);
        Pump();
    }

    // Microseconds from `send` (which sends keys) to the next WM_KEYDOWN in
    // the window; -1 when none arrives within 2 seconds.
    template <class SendKeys>
    double TimeToKeyDown(SendKeys send)
    {
        arrived_ = false;
        const auto start = Clock::now();
        send();
        MSG msg;
        while (!arrived_ && Clock::now() - start < std::chrono::seconds(2)) {
            if (GetMessageW(&msg, nullptr, 0, 0) <= 0)
                break;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        return arrived_ ? std::chrono::duration<double, std::micro>(Clock::now() - start).count() : -1;
    }

    // Microseconds from SendInput to WM_KEYDOWN in the window, one per key;
    // `between` runs after each key.
    template <class Between>
    std::vector<double> Measure(int count, Between between)
    {
        std::vector<double> delays;
        for (int i = 0; i < count; ++i) {
            Focus();
            const WORD key = static_cast<WORD>('A' + i % 26);
            const double delay = TimeToKeyDown([key] { Send(key, false); });
            if (delay >= 0)
                delays.push_back(delay);
            Send(key, true);
            PumpFor(10);
            between();
        }
        return delays;
    }
    std::vector<double> Measure(int count)
    {
        return Measure(count, [] {});
    }

    static void Send(WORD vk, bool up)
    {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        SendInput(1, &input, sizeof(input));
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_KEYDOWN)
            arrived_ = true;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    HWND window_ = nullptr;
    static inline bool arrived_ = false;
};

inline double Percentile(std::vector<double> values, double q)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(q * values.size()))];
}

// Prints the delays' median and 99th percentile; false, saying so, when
// nothing was measured (the benchmark then fails).
inline bool Report(const char* name, const std::vector<double>& delays, int wanted)
{
    if (delays.empty()) {
        std::printf("  %-34s no key arrived: nothing measured\n", name);
        return false;
    }
    std::printf("  %-34s median %8.0f us  p99 %8.0f us  (%zu of %d arrived)\n", name, Percentile(delays, 0.5),
                Percentile(delays, 0.99), delays.size(), wanted);
    return true;
}

} // namespace launcher_bench
