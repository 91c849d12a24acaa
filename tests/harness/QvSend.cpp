// A small driver for end-to-end tests: finds a top-level window by its title
// and sends or posts it a message, so tests can reach what a user reaches
// through the tray (which has no X11 window to click under a bare display).
//
//   QvSend.exe --title T [--wait MS] [--send|--post MSG WPARAM LPARAM] [--stall MS] [--end]
// MSG is a number, or the name of a registered message ("TaskbarCreated").
// Prints the window handle and the message result; exit code 0 when the
// window was found (and the message delivered), 1 otherwise. --stall
// suspends the window's thread for MS milliseconds, as a launcher busy with
// something else would be; it prints "stalled" once the thread is held.
// --end ends the window's process right after the message, as the end of a
// session does once every program has answered WM_ENDSESSION.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    std::wstring title;
    DWORD waitMs = 0;
    bool post = false;
    bool haveMessage = false;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD stallMs = 0;
    bool end = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--title" && i + 1 < argc) {
            title = argv[++i];
        } else if (arg == L"--stall" && i + 1 < argc) {
            stallMs = wcstoul(argv[++i], nullptr, 10);
        } else if (arg == L"--end") {
            end = true;
        } else if (arg == L"--wait" && i + 1 < argc) {
            waitMs = wcstoul(argv[++i], nullptr, 10);
        } else if ((arg == L"--send" || arg == L"--post") && i + 3 < argc) {
            post = arg == L"--post";
            haveMessage = true;
            const std::wstring name = argv[++i];
            message = iswalpha(name[0]) ? RegisterWindowMessageW(name.c_str())
                                        : static_cast<UINT>(wcstoul(name.c_str(), nullptr, 0));
            wParam = static_cast<WPARAM>(wcstoull(argv[++i], nullptr, 0));
            lParam = static_cast<LPARAM>(wcstoll(argv[++i], nullptr, 0));
        } else {
            fwprintf(stderr, L"unknown argument %ls\n", arg.c_str());
            return 2;
        }
    }

    HWND window = nullptr;
    const DWORD start = GetTickCount();
    for (;;) {
        window = FindWindowW(nullptr, title.c_str());
        if (window || GetTickCount() - start >= waitMs)
            break;
        Sleep(50);
    }
    if (!window) {
        wprintf(L"no window\n");
        return 1;
    }
    wprintf(L"window %p\n", static_cast<void*>(window));
    // Taken before the message: the process may end its window right after.
    HANDLE process = nullptr;
    if (end) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        process = OpenProcess(PROCESS_TERMINATE, FALSE, processId);
        if (!process)
            return 1;
    }
    if (haveMessage) {
        if (post) {
            if (!PostMessageW(window, message, wParam, lParam))
                return 1;
        } else {
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result))
                return 1;
            wprintf(L"result %llu\n", static_cast<unsigned long long>(result));
        }
    }
    if (process) {
        TerminateProcess(process, 1);
        CloseHandle(process);
    }
    if (stallMs > 0) {
        HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(window, nullptr));
        if (!thread || SuspendThread(thread) == static_cast<DWORD>(-1))
            return 1;
        wprintf(L"stalled\n");
        fflush(stdout);
        Sleep(stallMs);
        ResumeThread(thread);
        CloseHandle(thread);
    }
    fflush(stdout);
    return 0;
}
