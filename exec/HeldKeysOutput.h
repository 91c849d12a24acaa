#pragma once

#include "exec/HeldKeys.h"
#include "platform/IKeyboardOutput.h"

// A keyboard output whose key events go through a HeldKeys record, so that
// the keys it presses can be let go of from another thread.
class HeldKeysOutput : public IKeyboardOutput {
public:
    HeldKeysOutput(IKeyboardOutput& output, HeldKeys& held) : output_(output), held_(held) {}

    unsigned short KeyValueOf(wchar_t character) const override { return output_.KeyValueOf(character); }
    bool SendKeyEvent(unsigned short virtualKey, unsigned flags) override
    {
        return held_.Send(output_, virtualKey, flags);
    }
    void Sleep(int milliseconds) override { output_.Sleep(milliseconds); }
    void Beep(int frequency, int milliseconds) override { output_.Beep(frequency, milliseconds); }
    bool ActivateWindow(const std::wstring& title) override { return output_.ActivateWindow(title); }
    void ToggleNumLock() override { output_.ToggleNumLock(); }

private:
    IKeyboardOutput& output_;
    HeldKeys& held_;
};
