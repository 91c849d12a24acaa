#pragma once

#include <string>

// What the launcher reads from a shortcut file (".lnk", or ".url" internet
// shortcut) of the Start menu: slow (it opens the file), so called on the
// programs' own thread only, never on the thread that answers the keyboard.
class IShortcutReader {
public:
    virtual ~IShortcutReader() = default;
    // The target with its arguments (a program path, a document, an
    // address), as written in the shortcut; false when it cannot be read.
    virtual bool Target(const std::wstring& shortcutPath, std::wstring& target) = 0;
    // Extracts the shortcut's small icon into the reader's icon cache;
    // returns its index there, or -1 when it has none.
    virtual int CacheIcon(const std::wstring& shortcutPath) = 0;
};
