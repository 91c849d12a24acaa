#pragma once

#include "platform/IKeyboardOutput.h"

// Keyboard output through keybd_event, with the calling thread's layout.
class Win32KeyboardOutput : public IKeyboardOutput {
public:
    unsigned short KeyValueOf(wchar_t character) const override;
    bool SendKeyEvent(unsigned char virtualKey, unsigned flags) override;
    void Sleep(int milliseconds) override;
    void Beep(int frequency, int milliseconds) override;
    bool ActivateWindow(const std::wstring& title) override;
    void ToggleNumLock() override;
};
