#pragma once

#include <string>

// What the keystroke player and the "Send key" step need of the platform's
// keyboard: the layout's key for a character, single key events, waits,
// beeps and bringing a window forward.
class IKeyboardOutput {
public:
    // Flags of a key event: the platform's own values for the first two.
    static constexpr unsigned kExtendedKey = 1;
    static constexpr unsigned kKeyUp = 2;
    // The event goes with the virtual key alone, no scan code: how a step
    // sends the key it recorded.
    static constexpr unsigned kNoScanCode = 0x100;

    virtual ~IKeyboardOutput() = default;

    // The key value of a character in the current layout: low byte the
    // virtual key, high byte the shift state it needs (1 Shift, 2 Ctrl,
    // 4 Alt); 0xFFFF when no key produces it.
    virtual unsigned short KeyValueOf(wchar_t character) const = 0;
    // One key event into the system input stream; false when it was refused.
    virtual bool SendKeyEvent(unsigned short virtualKey, unsigned flags) = 0;
    virtual void Sleep(int milliseconds) = 0;
    // Plays a tone and returns when it has ended.
    virtual void Beep(int frequency, int milliseconds) = 0;
    // Brings forward the window titled exactly `title`, else the first whose
    // title contains it; false when there is none.
    virtual bool ActivateWindow(const std::wstring& title) = 0;
    // Num Lock's state is flipped with its own fixed scan code.
    virtual void ToggleNumLock() = 0;
};
