// Loads the hook library in a process of its own, as the system would in
// another application, and calls its hook procedure once:
//   QvHookPeer.exe VK FLAGS   -> exit code 1 when the key was swallowed, 0 when it passed
// or, as a second launcher using the same library, installs the hook, signals
// the event QvHookPeerReady, waits for QvHookPeerGo and removes it again:
//   QvHookPeer.exe install    -> exit code 0 when its own hook was removed
// or, as a program that wants the desktop's keys, names a window of its own
// (which answers 0, "swallow", to every key) in the section, prints "ready",
// waits MS milliseconds and puts the launcher's window back:
//   QvHookPeer.exe spy MS
#include "QuorvallisHOOKShared.h"

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    HMODULE library = LoadLibraryW(L"QuorvallisHOOK.dll");
    if (!library)
        return 3;
    QuorvallisHookShared* shared = FindHookShared(library);
    if (std::wcscmp(argv[1], L"spy") == 0 && argc > 2 && shared) {
        HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        const std::uint64_t launcher = shared->targetWindow;
        shared->targetWindow = reinterpret_cast<std::uintptr_t>(window);
        std::puts("ready");
        std::fflush(stdout);
        for (const ULONGLONG end = GetTickCount64() + wcstoul(argv[2], nullptr, 0); GetTickCount64() < end;) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
        }
        shared->targetWindow = launcher;
        return 0;
    }
    if (std::wcscmp(argv[1], L"install") == 0) {
        using Install = HHOOK(WINAPI*)(HWND);
        using Uninstall = BOOL (*)();
        auto install = reinterpret_cast<Install>(reinterpret_cast<void*>(GetProcAddress(library, "InstallHook")));
        auto uninstall = reinterpret_cast<Uninstall>(reinterpret_cast<void*>(GetProcAddress(library, "UninstallHook")));
        HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"QvHookPeerReady");
        HANDLE go = OpenEventW(SYNCHRONIZE, FALSE, L"QvHookPeerGo");
        if (!install || !uninstall || !ready || !go || !install(nullptr))
            return 4;
        SetEvent(ready);
        WaitForSingleObject(go, 20000);
        return uninstall() ? 0 : 1;
    }
    if (argc < 3)
        return 2;
    using HookProc = LRESULT(CALLBACK*)(int, WPARAM, LPARAM);
    auto proc = reinterpret_cast<HookProc>(reinterpret_cast<void*>(GetProcAddress(library, "KeyboardProc")));
    if (!proc)
        return 4;
    const LRESULT result = proc(0, wcstoul(argv[1], nullptr, 0), static_cast<LPARAM>(wcstoul(argv[2], nullptr, 0)));
    FreeLibrary(library);
    return result == 1 ? 1 : 0;
}
