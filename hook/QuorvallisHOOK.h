#pragma once

#include <windows.h>

// The launcher's main window receives every keystroke of the desktop as
// WM_KEYHOOK (defined with the program's other messages).
#include "platform/WindowMessages.h"

// How long one keystroke may wait for the main window's answer. A launcher
// that is busy or hung must never hold up the keyboard of the whole desktop:
// past this bound the keystroke passes.
constexpr UINT kKeyHookAnswerTimeoutMs = 250;

extern "C" {
// Installs the system-wide keyboard hook and makes window the receiver of
// WM_KEYHOOK. Null when the system refused the hook. Keys go only to a
// window of Quorvallis.exe beside this library; any other window named in
// the shared section gets none, and every key passes untouched.
HHOOK WINAPI InstallHook(HWND window);
// Removes the hook this process installed (another launcher using the same
// library keeps its own); nonzero when it was removed.
BOOL UninstallHook();
LRESULT CALLBACK KeyboardProc(int code, WPARAM key, LPARAM flags);
}
