#pragma once

// The program's private window messages, each defined once. The numbers are
// fixed: the hook library of any running copy sends WM_KEYHOOK, and the
// notification area sends WM_TRAYNOTIFY. Portable, so that the core can name
// them without a Windows header.

// Hook library -> main window, sent for every keystroke of the desktop:
// wParam the virtual-key code, lParam the keystroke flags in its lower 32
// bits and the hook's sequence number of the key in its upper 32 bits. The
// answer 0 swallows the keystroke, any other value lets it through.
constexpr unsigned WM_KEYHOOK = 0x0400 + 1400; // 2424
// Two of the flags' reserved bits carry Caps Lock as the application that
// got the key sees it: "known" set means "on" holds its state.
constexpr unsigned kKeyHookCapsLockKnown = 1u << 25;
constexpr unsigned kKeyHookCapsLockOn = 1u << 26;

// Typing state machine -> typing popup, sent for each key typed into the
// line: wParam the virtual-key code. Answers 1.
constexpr unsigned WM_INFOCHAR = 0x0400 + 600; // 1624

// Worker thread -> main window, sent after a typed command ran: wParam the
// command's id. Answers 0.
constexpr unsigned WM_COMMANDEXECUTED = 0x0400 + 1200; // 2224

// Notification area -> main window, about the launcher's tray icon: wParam
// the icon id, lParam the mouse message. Answers 0.
constexpr unsigned WM_TRAYNOTIFY = 1231;

// Search box -> main window when Enter is pressed in it. Carries no data:
// the window reads the text from the search box itself, so a message from
// another process cannot make it read memory it does not own. Answers 0.
constexpr unsigned WM_SEARCHCOMMANDS = 1611;

// The main window's messages to itself, in the application range.
// A problem found while starting, shown once the window is up.
constexpr unsigned WM_REPORTPROBLEM = 0x8000 + 1;
// Exit after answering what asked for it (the log-off query, an exit asked
// for inside a modal loop).
constexpr unsigned WM_EXITLATER = 0x8000 + 2;
// Catalogue writer thread -> main window, posted after each save. Carries no
// data: the window asks its saver how the save went.
constexpr unsigned WM_SAVEFINISHED = 0x8000 + 3;
// The rest of the main window's start (its controls, menus, tray icon and
// tree), posted once the program has first waited for input: only what the
// hook needs comes before.
constexpr unsigned WM_FINISHSTART = 0x8000 + 4;
// A plugin stopped working (any thread that called it) -> main window,
// posted. Carries no data: the window asks the plugin manager which plugins
// are not told yet and names them in a balloon of its tray icon.
constexpr unsigned WM_PLUGINBROKE = 0x8000 + 5;
