#include "platform/win32/Win32CommandNotifier.h"

#include "platform/WindowMessages.h"

#include <windows.h>

void Win32CommandNotifier::CommandExecuted(void* mainWindow, int commandId)
{
    // A worker may outlive the window at shutdown; then nobody is told.
    const HWND window = static_cast<HWND>(mainWindow);
    if (window && IsWindow(window))
        SendMessageW(window, WM_COMMANDEXECUTED, static_cast<WPARAM>(commandId), 0);
}
