// The keyboard hook library. The system maps it into every process that reads
// keyboard input while the hook is installed; each copy reads the hook handle
// and the target window from one data section shared by all of them.
#include "QuorvallisHOOK.h"
#include "QuorvallisHOOKShared.h"
#include "platform/win32/UniqueHandle.h"

#include <atomic>
#include <iterator>
#include <string>

namespace {

// Transition state in the keystroke flags: set when the key is released.
constexpr std::uint32_t kKeyReleased = 1u << 31;

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

HWND AsWindow(std::uint64_t value)
{
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
}

// The path as the file system spells it in full, so that a short (8.3)
// spelling of the same folder still matches.
std::wstring LongPath(const wchar_t* path)
{
    wchar_t full[MAX_PATH * 2];
    const DWORD length = GetLongPathNameW(path, full, static_cast<DWORD>(std::size(full)));
    return length && length < std::size(full) ? std::wstring(full, length) : std::wstring(path);
}

// Quorvallis.exe beside this library: the only program keys may go to.
std::wstring LauncherPath()
{
    wchar_t library[MAX_PATH * 2];
    const DWORD length = GetModuleFileNameW(g_module, library, static_cast<DWORD>(std::size(library)));
    if (!length || length >= std::size(library))
        return {};
    std::wstring path(library, length);
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return {};
    path.resize(slash + 1);
    return LongPath((path + L"Quorvallis.exe").c_str());
}

// The mandatory integrity level of a process, or -1 when the system cannot
// tell (no such levels, or the token cannot be opened).
long IntegrityLevel(HANDLE process)
{
    HANDLE rawToken = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &rawToken))
        return -1;
    UniqueKernelHandle token(rawToken);
    alignas(TOKEN_MANDATORY_LABEL) BYTE buffer[sizeof(TOKEN_MANDATORY_LABEL) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenIntegrityLevel, buffer, sizeof(buffer), &size))
        return -1;
    PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer)->Label.Sid;
    if (!IsValidSid(sid) || *GetSidSubAuthorityCount(sid) == 0)
        return -1;
    return static_cast<long>(*GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1U));
}

// Whether a window belongs to the launcher: its process runs Quorvallis.exe
// from this library's folder, at an integrity level not below this process's
// (else a sandboxed program of the same name could collect the keys of the
// applications above it). Where this process's own level cannot be told the
// system has no such levels, and the path decides alone; where only the
// window's cannot be told, it is refused.
bool IsLauncherWindow(HWND window)
{
    DWORD processId = 0;
    if (!GetWindowThreadProcessId(window, &processId) || processId == 0)
        return false;
    UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process)
        return false;
    wchar_t image[MAX_PATH * 2];
    DWORD length = static_cast<DWORD>(std::size(image));
    if (!QueryFullProcessImageNameW(process.get(), 0, image, &length))
        return false;
    const std::wstring launcher = LauncherPath();
    const std::wstring running = LongPath(image);
    if (launcher.empty() || CompareStringOrdinal(running.c_str(), static_cast<int>(running.size()), launcher.c_str(),
                                                 static_cast<int>(launcher.size()), TRUE) != CSTR_EQUAL)
        return false;
    const long own = IntegrityLevel(GetCurrentProcess());
    return own < 0 || IntegrityLevel(process.get()) >= own;
}

// Per process, the last target values found to be the launcher's and not:
// every copy of the library checks a value once, and each key then costs a
// compare. Window handles carry a reuse counter, so a value checked once
// keeps naming the same window.
std::atomic<std::uint64_t> g_launcherTarget{0};
std::atomic<std::uint64_t> g_refusedTarget{0};

// The window keys go to, or null when there is none or the section names a
// window that is not the launcher's: then every key passes untouched.
HWND SharedTarget()
{
    const std::uint64_t value = g_shared.targetWindow;
    if (value == 0 || value == g_refusedTarget.load(std::memory_order_relaxed))
        return nullptr;
    if (value == g_launcherTarget.load(std::memory_order_relaxed))
        return AsWindow(value);
    if (!IsLauncherWindow(AsWindow(value))) {
        g_refusedTarget.store(value, std::memory_order_relaxed);
        return nullptr;
    }
    g_launcherTarget.store(value, std::memory_order_relaxed);
    return AsWindow(value);
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
    // Caps Lock as this application sees it goes with a pressed letter, the
    // only key whose meaning it changes: a press the launcher never saw (while
    // it was disabled, or in a window the hook does not reach) must not leave
    // its typed line with the other case.
    std::uint32_t keyFlags = static_cast<std::uint32_t>(flags) & ~(kKeyHookCapsLockKnown | kKeyHookCapsLockOn);
    if (key >= 'A' && key <= 'Z' && !(keyFlags & kKeyReleased))
        keyFlags |= kKeyHookCapsLockKnown | ((GetKeyState(VK_CAPITAL) & 1) ? kKeyHookCapsLockOn : 0);
    const LPARAM withSequence = static_cast<LPARAM>((static_cast<std::uint64_t>(sequence) << 32) | keyFlags);

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
