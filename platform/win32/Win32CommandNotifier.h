#pragma once

#include "platform/ICommandNotifier.h"

// Sends the executed-command notice to the main window and waits until it
// has been handled there.
class Win32CommandNotifier : public ICommandNotifier {
public:
    void CommandExecuted(void* mainWindow, int commandId) override;
};
