#include "platform/win32/Win32KeyboardOutput.h"

#include "platform/StopSignal.h"

#include <windows.h>

#include <cwchar>

namespace {

struct TitleSearch {
    const wchar_t* text;
    HWND found;
};

BOOL CALLBACK FindTitleContaining(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<TitleSearch*>(param);
    wchar_t title[600] = {};
    GetWindowTextW(window, title, 600);
    if (std::wcsstr(title, search->text)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A window that stopped answering must not hold the playback for good.
void SendSysCommand(HWND window, WPARAM command)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_SYSCOMMAND, command, reinterpret_cast<LPARAM>(window), SMTO_ABORTIFHUNG, 2000,
                        &result);
}

} // namespace

unsigned short Win32KeyboardOutput::KeyValueOf(wchar_t character) const
{
    return static_cast<unsigned short>(VkKeyScanW(character));
}

bool Win32KeyboardOutput::SendKeyEvent(unsigned short virtualKey, unsigned flags)
{
    if (flags & kNoScanCode) {
        // The whole 16-bit key as given; SendInput tells whether it was taken.
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtualKey;
        input.ki.dwFlags = flags & ~kNoScanCode;
        return SendInput(1, &input, sizeof(input)) == 1;
    }
    const auto key = static_cast<BYTE>(virtualKey);
    const auto scan = static_cast<BYTE>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    keybd_event(key, scan, flags, 0);
    return true;
}

void Win32KeyboardOutput::Sleep(int milliseconds)
{
    if (stop_)
        stop_->WaitFor(milliseconds);
    else if (milliseconds > 0)
        ::Sleep(static_cast<DWORD>(milliseconds));
}

void Win32KeyboardOutput::Beep(int frequency, int milliseconds)
{
    if (frequency >= 0 && milliseconds >= 0)
        ::Beep(static_cast<DWORD>(frequency), static_cast<DWORD>(milliseconds));
}

bool Win32KeyboardOutput::ActivateWindow(const std::wstring& title)
{
    HWND window = FindWindowW(nullptr, title.c_str());
    if (!window && !title.empty()) {
        TitleSearch search{title.c_str(), nullptr};
        EnumWindows(FindTitleContaining, reinterpret_cast<LPARAM>(&search));
        window = search.found;
    }
    if (!window)
        return false;
    SendSysCommand(window, SC_HOTKEY);
    SendSysCommand(window, SC_RESTORE);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(window);
    return true;
}

void Win32KeyboardOutput::ToggleNumLock()
{
    // Num Lock has a fixed scan code and is an extended key on NT.
    keybd_event(VK_NUMLOCK, 69, KEYEVENTF_EXTENDEDKEY, 0);
    keybd_event(VK_NUMLOCK, 69, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
}
