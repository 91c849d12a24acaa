#pragma once

#include "platform/ICommandNotifier.h"

// Sends the executed-command notice to the main window and waits until it
// has been handled there.
class Win32CommandNotifier : public ICommandNotifier {
public:
    // WM_USER + 1200; wParam is the command's id, lParam 0.
    static constexpr unsigned kCommandExecutedMessage = 2224;

    void CommandExecuted(void* mainWindow, int commandId) override;
};
