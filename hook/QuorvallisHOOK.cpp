// The keyboard hook library. The system maps it into every process that reads
// keyboard input while the hook is installed; each copy reads the hook handle
// and the target window from one data section shared by all of them.
#include "QuorvallisHOOK.h"

#include <cstdint>

namespace {

// Per process: this library's module handle, needed to install the hook.
HINSTANCE g_module = nullptr;

} // namespace

// One copy for all processes. Stored as 64-bit values so that the section has
// the same layout whatever handle width a process has.
__attribute__((section("Shared"), shared)) volatile std::uint64_t g_hookHandle = 0;
__attribute__((section("Shared"), shared)) volatile std::uint64_t g_targetWindow = 0;

namespace {

HHOOK SharedHook()
{
    return reinterpret_cast<HHOOK>(static_cast<std::uintptr_t>(g_hookHandle));
}

HWND SharedTarget()
{
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(g_targetWindow));
}

} // namespace

extern "C" HHOOK WINAPI InstallHook(HWND window)
{
    g_targetWindow = reinterpret_cast<std::uintptr_t>(window);
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD, &KeyboardProc, g_module, 0);
    g_hookHandle = reinterpret_cast<std::uintptr_t>(hook);
    return hook;
}

extern "C" BOOL UninstallHook()
{
    return UnhookWindowsHookEx(SharedHook());
}

extern "C" LRESULT CALLBACK KeyboardProc(int code, WPARAM key, LPARAM flags)
{
    if (code < 0)
        return CallNextHookEx(SharedHook(), code, key, flags);
    HWND target = SharedTarget();
    if (!target || !IsWindow(target))
        return CallNextHookEx(SharedHook(), code, key, flags);

    // Bounded wait: when the launcher does not answer in time the keystroke
    // passes, so a busy launcher never freezes every application's keyboard.
    DWORD_PTR answer = 1;
    if (!SendMessageTimeoutW(target, WM_KEYHOOK, key, flags, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                             kKeyHookAnswerTimeoutMs, &answer))
        answer = 1;
    if (answer != 0 || key == VK_SHIFT || key == VK_CAPITAL)
        return CallNextHookEx(SharedHook(), code, key, flags);
    return 1;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        g_module = instance;
    return TRUE;
}
