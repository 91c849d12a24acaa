#pragma once

#include "platform/IKeyboardOutput.h"

class StopSignal;

// Keyboard output through keybd_event (SendInput for events without a scan
// code), with the calling thread's layout.
// Waits end early when `stop` (if given) is asked to.
class Win32KeyboardOutput : public IKeyboardOutput {
public:
    explicit Win32KeyboardOutput(const StopSignal* stop = nullptr) : stop_(stop) {}

    unsigned short KeyValueOf(wchar_t character) const override;
    bool SendKeyEvent(unsigned short virtualKey, unsigned flags) override;
    void Sleep(int milliseconds) override;
    void Beep(int frequency, int milliseconds) override;
    bool ActivateWindow(const std::wstring& title) override;
    void ToggleNumLock() override;

private:
    const StopSignal* stop_;
};
