#pragma once

#include "platform/IShortcutReader.h"
#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <mutex>
#include <string>

// Reads shortcuts through the shell (IShellLinkW for ".lnk", the
// "[InternetShortcut]" section of ".url" files) on a thread that joined COM
// (ComThread), and keeps their small icons in one image list: one picture
// each, extracted once, drawn by the window that shows matches.
class Win32ShortcutReader : public IShortcutReader {
public:
    bool Target(const std::wstring& shortcutPath, std::wstring& target) override;
    int CacheIcon(const std::wstring& shortcutPath) override;

    // From any thread, at `size` pixels square; false when there is no
    // such picture.
    bool DrawIcon(int index, HDC dc, int x, int y, int size) const;

    // Opens a shortcut as the shell does when it is double-clicked, giving
    // `arguments` to the program after the shortcut's own. False when the
    // shell refused.
    static bool Open(const std::wstring& shortcutPath, const std::wstring& arguments);

    // Joins and leaves COM on the calling thread, for the thread that reads.
    static void JoinCom();
    static void LeaveCom();

private:
    mutable std::mutex iconsGuard_;
    UniqueImageList icons_;
};
