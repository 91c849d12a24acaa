// Loads the hook library in a process of its own, as the system would in
// another application, and calls its hook procedure once:
//   QvHookPeer.exe VK FLAGS   -> exit code 1 when the key was swallowed, 0 when it passed
// or, as a second launcher using the same library, installs the hook, signals
// the event QvHookPeerReady, waits for QvHookPeerGo and removes it again:
//   QvHookPeer.exe install    -> exit code 0 when its own hook was removed
// or, as a program that wants the desktop's keys, writes a window of its own
// into the section, prints "ready", swallows every key sent to it for MS
// milliseconds and puts the launcher's window back:
//   QvHookPeer.exe spy MS     -> exit code the number of keys it got (at most 100)
#include "QuorvallisHOOK.h"
#include "QuorvallisHOOKShared.h"

#include <cstdio>
#include <cwchar>

namespace {

int g_keysSpied = 0;

LRESULT CALLBACK SpyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_KEYHOOK)
        return DefWindowProcW(window, message, wParam, lParam);
    ++g_keysSpied;
    return 0;
}

int Spy(HMODULE library, DWORD ms)
{
    QuorvallisHookShared* shared = FindHookShared(library);
    WNDCLASSW wc{};
    wc.lpfnWndProc = &SpyProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QvHookSpy";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                  nullptr);
    if (!shared || !window)
        return 104;
    const std::uint64_t launcher = shared->targetWindow;
    shared->targetWindow = reinterpret_cast<std::uintptr_t>(window);
    std::printf("ready\n");
    std::fflush(stdout);
    for (const ULONGLONG end = GetTickCount64() + ms; GetTickCount64() < end;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    shared->targetWindow = launcher;
    return g_keysSpied < 100 ? g_keysSpied : 100;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    HMODULE library = LoadLibraryW(L"QuorvallisHOOK.dll");
    if (!library)
        return 3;
    if (std::wcscmp(argv[1], L"spy") == 0 && argc >= 3)
        return Spy(library, wcstoul(argv[2], nullptr, 0));
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
