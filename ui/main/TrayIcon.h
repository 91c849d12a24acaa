#pragma once

#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <string>

class COwnerDrawMenu;

// The launcher's icon in the notification area and its popup menu. It shows
// whether the launcher is enabled; its notifications (WM_TRAYNOTIFY) and the
// menu's choices go to the main window that owns it.
class TrayIcon {
public:
    static constexpr UINT kIconId = 1230;

    TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Adds the icon for `window` in the given state; once, at start.
    void Add(HWND window, bool enabled);
    // Shows the icon and tooltip of the state.
    void ShowState(bool enabled);
    // A warning balloon from the icon; texts longer than the shell takes are cut.
    void ShowBalloon(const std::wstring& title, const std::wstring& text);
    // Takes the icon away (at exit).
    void Remove();
    // The shell's taskbar was created again (a restarted shell): the icon
    // comes back. True when `message` was that announcement.
    bool OnShellMessage(UINT message);

    // A notification that opens the menu: a left or right press on our icon.
    static bool OpensMenu(WPARAM iconId, LPARAM mouseMessage);
    // Shows the menu at the mouse with pictures from `strip` drawn by
    // `images`. The choice reaches the owner as WM_COMMAND. The window that
    // was in the foreground is stored in `foreground` before the menu shows,
    // so that it can get the keyboard back; a menu dismissed without a
    // choice gives it back at once.
    void ShowMenu(COwnerDrawMenu& images, HIMAGELIST strip, bool enabled, HWND& foreground);

    bool added() const { return added_; }

private:
    bool Notify(DWORD action, UINT flags);

    HWND window_ = nullptr;
    UniqueIcon enabledIcon_;
    UniqueIcon disabledIcon_;
    UINT taskbarCreated_ = 0;
    bool enabled_ = false;
    bool added_ = false;
};
