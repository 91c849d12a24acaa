// The keyboard hook library. The system maps it into every process that reads
// keyboard input while the hook is installed; each copy reads the hook handle
// and the target window from one data section shared by all of them.
#include "QuorvallisHOOK.h"
#include "QuorvallisHOOKShared.h"

namespace {

// Per process: this library's module handle, needed to install the hook, and
// the hook this process installed. Another launcher using the same library
// overwrites the shared handle; each removes its own.
HINSTANCE g_module = nullptr;
HHOOK g_installed = nullptr;

} // namespace

// The only object in the section, so that it starts the section.
__attribute__((section("Shared"), shared)) QuorvallisHookShared g_shared = {};

namespace {

HHOOK SharedHook()
{
    return reinterpret_cast<HHOOK>(static_cast<std::uintptr_t>(g_shared.hookHandle));
}

HWND SharedTarget()
{
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(g_shared.targetWindow));
}

// The wait ran out. A key nobody took is abandoned and passes; a key the
// window took while the wait ran out gets the window's answer, once it comes
// (the window decides quickly), or passes when even that takes too long.
bool PassesAfterTimeOut(std::uint32_t sequence)
{
    volatile LONG64& slot = g_shared.SlotOf(sequence);
    const LONG64 waiting = QuorvallisHookShared::Slot(sequence, QuorvallisHookShared::kWaiting);
    if (InterlockedCompareExchange64(&slot, QuorvallisHookShared::Slot(sequence, QuorvallisHookShared::kAbandoned),
                                     waiting) == waiting)
        return true;
    const ULONGLONG deadline = GetTickCount64() + kKeyHookAnswerTimeoutMs;
    do {
        const LONG64 now = slot;
        if (now == QuorvallisHookShared::Slot(sequence, QuorvallisHookShared::kSwallowed))
            return false;
        if (now != QuorvallisHookShared::Slot(sequence, QuorvallisHookShared::kTaken))
            return true;
        Sleep(1);
    } while (GetTickCount64() < deadline);
    return true;
}

} // namespace

extern "C" HHOOK WINAPI InstallHook(HWND window)
{
    g_shared.targetWindow = reinterpret_cast<std::uintptr_t>(window);
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD, &KeyboardProc, g_module, 0);
    g_shared.hookHandle = reinterpret_cast<std::uintptr_t>(hook);
    g_installed = hook;
    return hook;
}

extern "C" BOOL UninstallHook()
{
    if (!g_installed)
        return FALSE;
    const BOOL removed = UnhookWindowsHookEx(g_installed);
    if (removed)
        g_installed = nullptr;
    return removed;
}

extern "C" LRESULT CALLBACK KeyboardProc(int code, WPARAM key, LPARAM flags)
{
    // Only a key taken from the queue goes to the window. An application
    // that peeks before it takes shows each key first with HC_NOREMOVE; a
    // second copy would complete the activation keys on one press.
    if (code != HC_ACTION)
        return CallNextHookEx(SharedHook(), code, key, flags);
    HWND target = SharedTarget();
    if (!target || !IsWindow(target))
        return CallNextHookEx(SharedHook(), code, key, flags);

    std::uint32_t sequence = static_cast<std::uint32_t>(InterlockedIncrement(&g_shared.lastSequence));
    if (sequence == 0)
        sequence = static_cast<std::uint32_t>(InterlockedIncrement(&g_shared.lastSequence));
    InterlockedExchange64(&g_shared.SlotOf(sequence),
                          QuorvallisHookShared::Slot(sequence, QuorvallisHookShared::kWaiting));
    const LPARAM withSequence = static_cast<LPARAM>((static_cast<std::uint64_t>(sequence) << 32) |
                                                    static_cast<std::uint32_t>(flags));

    // Bounded wait: when the launcher does not answer in time the keystroke
    // passes, so a busy launcher never freezes every application's keyboard.
    DWORD_PTR answer = 1;
    bool passes;
    if (SendMessageTimeoutW(target, WM_KEYHOOK, key, withSequence, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                            kKeyHookAnswerTimeoutMs, &answer))
        passes = answer != 0;
    else
        passes = PassesAfterTimeOut(sequence);
    if (passes || key == VK_SHIFT || key == VK_CAPITAL)
        return CallNextHookEx(SharedHook(), code, key, flags);
    return 1;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        g_module = instance;
    return TRUE;
}
