#include "ui/main/TrayIcon.h"

#include "ArtworkIds.h"
#include "MainWindowIds.h"
#include "platform/WindowMessages.h"
#include "ui/controls/COwnerDrawMenu.h"
#include "ui/controls/IconSet.h"

#include <shellapi.h>

#include <cwchar>

namespace {

// Pictures of the action strip used by the menu.
constexpr int kImageEnable = 9, kImageDisable = 10, kImageExit = 11, kImagePreferences = 12;

} // namespace

TrayIcon::TrayIcon()
    : enabledIcon_(IconSet::LoadProgramIcon(IDI_QV_TRAY_ENABLED, 16)),
      disabledIcon_(IconSet::LoadProgramIcon(IDI_QV_TRAY_DISABLED, 16))
{
}

bool TrayIcon::Notify(DWORD action, UINT flags)
{
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = window_;
    data.uID = kIconId;
    data.uFlags = flags;
    data.uCallbackMessage = WM_TRAYNOTIFY;
    data.hIcon = enabled_ ? enabledIcon_.get() : disabledIcon_.get();
    const wchar_t* tip = enabled_ ? L"Quorvallis (enabled)" : L"Quorvallis (disabled)";
    wcsncpy(data.szTip, tip, sizeof(data.szTip) / sizeof(data.szTip[0]) - 1);
    return Shell_NotifyIconW(action, &data) != FALSE;
}

void TrayIcon::Add(HWND window, bool enabled)
{
    window_ = window;
    enabled_ = enabled;
    // A shell that restarts announces its new taskbar; the icon comes back then.
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    added_ = Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP);
}

void TrayIcon::ShowState(bool enabled)
{
    enabled_ = enabled;
    if (added_)
        Notify(NIM_MODIFY, NIF_ICON | NIF_TIP);
}

void TrayIcon::ShowBalloon(const std::wstring& title, const std::wstring& text)
{
    if (!added_)
        return;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = window_;
    data.uID = kIconId;
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = NIIF_WARNING;
    wcsncpy(data.szInfoTitle, title.c_str(), sizeof(data.szInfoTitle) / sizeof(data.szInfoTitle[0]) - 1);
    wcsncpy(data.szInfo, text.c_str(), sizeof(data.szInfo) / sizeof(data.szInfo[0]) - 1);
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

void TrayIcon::Remove()
{
    if (added_)
        Notify(NIM_DELETE, 0);
    added_ = false;
}

bool TrayIcon::OnShellMessage(UINT message)
{
    if (taskbarCreated_ == 0 || message != taskbarCreated_ || !window_)
        return false;
    // The announcement also comes while our icon is still there (another
    // program's taskbar); the add then fails, but the icon stays ours to
    // delete at exit.
    if (Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP))
        added_ = true;
    return true;
}

bool TrayIcon::OpensMenu(WPARAM iconId, LPARAM mouseMessage)
{
    const UINT mouse = LOWORD(mouseMessage);
    return iconId == kIconId && (mouse == WM_LBUTTONDOWN || mouse == WM_RBUTTONDOWN);
}

void TrayIcon::ShowMenu(COwnerDrawMenu& images, HIMAGELIST strip, bool enabled, HWND& foreground)
{
    POINT cursor{};
    GetCursorPos(&cursor);
    UniqueMenu menu(CreatePopupMenu());
    if (!menu)
        return;
    const UINT toggleId = enabled ? IDM_TRAY_DISABLE : IDM_TRAY_ENABLE;
    AppendMenuW(menu.get(), MF_STRING, IDM_TRAY_PREFERENCES, L"&Preferences");
    AppendMenuW(menu.get(), MF_STRING, toggleId, enabled ? L"&Disable" : L"&Enable");
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING, IDM_TRAY_EXIT, L"E&xit");
    images.RegisterImageList(menu.get(), strip);
    images.AddImage(menu.get(), IDM_TRAY_PREFERENCES, kImagePreferences);
    images.AddImage(menu.get(), toggleId, enabled ? kImageDisable : kImageEnable);
    images.AddImage(menu.get(), IDM_TRAY_EXIT, kImageExit);

    foreground = GetForegroundWindow();
    // A popup menu closes on a click elsewhere only while its owner is the
    // foreground window, and the message after it lets the menu go at once.
    SetForegroundWindow(window_);
    const UINT choice = static_cast<UINT>(
        TrackPopupMenu(menu.get(), TPM_LEFTBUTTON | TPM_RETURNCMD, cursor.x, cursor.y, 0, window_, nullptr));
    PostMessageW(window_, WM_NULL, 0, 0);
    images.ForgetMenu(menu.get());
    if (choice != 0) {
        PostMessageW(window_, WM_COMMAND, MAKEWPARAM(choice, 0), 0);
    } else if (foreground && foreground != window_ && IsWindow(foreground)) {
        // Dismissed: the (hidden) main window took the foreground for the
        // menu; the keyboard goes back to where the user was typing.
        SetForegroundWindow(foreground);
    }
}
