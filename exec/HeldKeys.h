#pragma once

#include <array>
#include <mutex>

class IKeyboardOutput;

// Which keys the typed lines of the program hold down (keystroke texts and
// "Send key" steps), shared by their threads and the thread that ends the
// program. A player may be inside a call that outlasts any wait at exit (a
// beep, bringing forward a window that does not answer); ReleaseAll lets go
// of its keys from outside, and no key goes down after it.
class HeldKeys {
public:
    // Sends one key event (the flags of IKeyboardOutput) through `output`;
    // false when the platform refused it. Once ReleaseAll ran nothing is
    // sent: a key-down is refused, a key-up is done already.
    bool Send(IKeyboardOutput& output, unsigned short virtualKey, unsigned flags);
    // Sends key-up for every key still down, modifiers first, from any thread.
    void ReleaseAll(IKeyboardOutput& output);

private:
    std::mutex mutex_;
    std::array<bool, 256> down_{};
    bool released_ = false;
};
