#pragma once

// Tells the main window that a command ran successfully, so that it can
// refresh the command's count. Called on the worker thread of a typed line;
// returns once the window has handled the notice.
class ICommandNotifier {
public:
    virtual ~ICommandNotifier() = default;
    // mainWindow is the catalogue's window handle as stored there (may be null).
    virtual void CommandExecuted(void* mainWindow, int commandId) = 0;
};
