// QvProbe: a target window for keyboard tests under Wine.
//
//   QvProbe.exe [--title TEXT] [--log PATH] [--exit-after-ms N] [--peek] [--hold PATH]
//                [--stall-ms N [--stall-command TITLE ID]]
//
// Opens a top-level window titled TEXT (default "QvProbe") holding a single
// edit control that has the focus. The log (UTF-8, one line each, flushed at
// once so a test can read it while the probe runs) starts with
//   cmdline <the whole command line>
// followed by every keyboard message the window or its edit receives:
//   down vk=65 ext=0     WM_KEYDOWN       sysdown vk=18 ext=0   WM_SYSKEYDOWN
//   up vk=65 ext=1       WM_KEYUP         sysup vk=18 ext=0     WM_SYSKEYUP
//   char 97              WM_CHAR (UTF-16 unit)
// and, once the window has closed, by the line
//   exit
// PATH may be a Windows path or a Unix path (read through Wine's Z: drive).
// With --exit-after-ms the probe closes itself after N milliseconds. With
// --peek its message loop looks at each message (PeekMessage with
// PM_NOREMOVE) before it takes it, as many application frameworks do. With
// --hold it keeps the file PATH open without sharing while it runs, as a
// backup tool or an editor may. With --stall-ms its window stops answering
// for N milliseconds at each WM_SYSCOMMAND, as a busy application does;
// with --stall-command it first posts WM_COMMAND ID to the window titled
// TITLE, so that a test acts at a known moment of the stall.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

FILE* g_log = nullptr;
HWND g_edit = nullptr;
DWORD g_stallMs = 0;
std::wstring g_stallTitle;
WPARAM g_stallCommand = 0;

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

void LogLine(const std::string& line)
{
    if (!g_log)
        return;
    std::fputs(line.c_str(), g_log);
    std::fputc('\n', g_log);
    std::fflush(g_log);
}

// Logs one keyboard message; messages of other kinds are ignored.
void LogKeyMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const char* kind = nullptr;
    switch (msg) {
    case WM_KEYDOWN: kind = "down"; break;
    case WM_KEYUP: kind = "up"; break;
    case WM_SYSKEYDOWN: kind = "sysdown"; break;
    case WM_SYSKEYUP: kind = "sysup"; break;
    case WM_CHAR: LogLine("char " + std::to_string(static_cast<unsigned>(wParam))); return;
    default: return;
    }
    const int extended = (lParam >> 24) & 1;
    LogLine(std::string(kind) + " vk=" + std::to_string(static_cast<unsigned>(wParam)) +
            " ext=" + std::to_string(extended));
}

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        g_edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                 WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 0, 0, 100, 100,
                                 hwnd, nullptr, nullptr, nullptr);
        return 0;
    case WM_SIZE: MoveWindow(g_edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE); return 0;
    case WM_SETFOCUS: SetFocus(g_edit); return 0;
    case WM_TIMER: DestroyWindow(hwnd); return 0;
    case WM_SYSCOMMAND:
        if (HWND told = g_stallTitle.empty() ? nullptr : FindWindowW(nullptr, g_stallTitle.c_str()))
            PostMessageW(told, WM_COMMAND, g_stallCommand, 0);
        Sleep(g_stallMs);
        break;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    std::wstring title = L"QvProbe";
    std::wstring logPath;
    UINT exitAfterMs = 0;
    bool peek = false;
    std::wstring holdPath;
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 1; argv && i < argc; ++i) {
        const std::wstring name = argv[i];
        if (name == L"--peek")
            peek = true;
        else if (i + 1 >= argc)
            break;
        else if (name == L"--hold")
            holdPath = argv[++i];
        else if (name == L"--title")
            title = argv[++i];
        else if (name == L"--log")
            logPath = argv[++i];
        else if (name == L"--exit-after-ms")
            exitAfterMs = static_cast<UINT>(_wtoi(argv[++i]));
        else if (name == L"--stall-ms")
            g_stallMs = static_cast<DWORD>(_wtoi(argv[++i]));
        else if (name == L"--stall-command" && i + 2 < argc) {
            g_stallTitle = argv[++i];
            g_stallCommand = static_cast<WPARAM>(_wtoi(argv[++i]));
        }
    }
    LocalFree(argv);

    if (!logPath.empty()) {
        // Wine maps a Unix path such as /tmp/x to Z:\tmp\x; accept both.
        if (logPath[0] == L'/') {
            for (wchar_t& c : logPath)
                if (c == L'/')
                    c = L'\\';
            logPath = L"Z:" + logPath;
        }
        g_log = _wfopen(logPath.c_str(), L"wb");
    }
    LogLine("cmdline " + ToUtf8(GetCommandLineW()));
    HANDLE held = INVALID_HANDLE_VALUE;
    if (!holdPath.empty()) {
        held = CreateFileW(holdPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        LogLine(held != INVALID_HANDLE_VALUE ? "holding" : "cannot hold");
    }

    WNDCLASSW wc = {};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"QvProbeWindow";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  400, 300, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(g_edit);
    if (exitAfterMs)
        SetTimer(window, 1, exitAfterMs, nullptr);

    // Keyboard messages are posted to the focused window; log them here so
    // both the window and the edit are covered without subclassing.
    MSG msg;
    for (;;) {
        if (peek) {
            MSG peeked;
            while (!PeekMessageW(&peeked, nullptr, 0, 0, PM_NOREMOVE))
                WaitMessage();
        }
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0)
            break;
        if (msg.hwnd == window || msg.hwnd == g_edit)
            LogKeyMessage(msg.message, msg.wParam, msg.lParam);
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (held != INVALID_HANDLE_VALUE)
        CloseHandle(held);
    LogLine("exit");
    if (g_log)
        std::fclose(g_log);
    return 0;
}
