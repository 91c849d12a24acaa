#pragma once

#include "platform/IStepPlatform.h"

// The steps' system calls: ShellExecuteW, CreateProcessW, Sleep.
class Win32StepPlatform : public IStepPlatform {
public:
    bool OpenWithShell(const std::wstring& target) override;
    bool StartProcess(const std::wstring& commandLine) override;
    void Pause(int milliseconds) override;
};
