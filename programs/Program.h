#pragma once

#include <cstdint>
#include <string>

// A program of the Start menu, as the matches list it: found from its
// shortcut file, kept in memory only (never in the catalogue file).
struct Program {
    std::wstring name; // the shortcut's file name without its extension
    std::wstring path; // the shortcut file's full path: what is opened
    // Where the shortcut lies under its Start menu folder, such as
    // "Accessories\Notepad.lnk": the same for the user's and all users'
    // copy, and the key of its run count.
    std::wstring key;
    std::uint64_t writeTime = 0; // of the shortcut file, to reuse what was read from it
    std::wstring target;         // with its arguments; empty until read
    bool targetRead = false;
    int icon = -1; // index in the shortcut reader's icon cache
    bool iconRead = false;
    int timesStarted = 0;
};
