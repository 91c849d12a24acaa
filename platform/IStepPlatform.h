#pragma once

#include <string>

// What the steps of a command need of the system besides the keyboard
// (IKeyboardOutput). The step executor sees only these; the Win32
// implementation is in platform/win32, recording fakes are in the tests.
class IStepPlatform {
public:
    virtual ~IStepPlatform() = default;
    // Asks the shell to open an address, document, folder or program with
    // its "open" verb, shown normally. True when the shell accepted it.
    virtual bool OpenWithShell(const std::wstring& target) = 0;
    // Starts a command line as a new process and does not wait for it.
    virtual bool StartProcess(const std::wstring& commandLine) = 0;
    // Blocks the calling thread.
    virtual void Pause(int milliseconds) = 0;
};
