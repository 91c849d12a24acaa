#pragma once

#include "exec/IKeyActionSink.h"

#include <array>

class IKeyboardOutput;
class StopSignal;

// Sends a keystroke text's actions to the platform and remembers which keys
// it left down, so that a playback that ends early (a stop request, a
// refused key-up, an exception) never leaves a modifier stuck.
class KeyActionSender : public IKeyActionSink {
public:
    // `stop`, when given, is polled before every action.
    KeyActionSender(IKeyboardOutput& output, const StopSignal* stop);
    KeyActionSender(const KeyActionSender&) = delete;
    KeyActionSender& operator=(const KeyActionSender&) = delete;
    ~KeyActionSender() override;

    bool OnAction(const KeyAction& action) override;

    // Sends key-up for every key still down: Shift, Ctrl, Alt and the
    // Windows key first, in that order, then the others.
    void ReleaseKeysStillDown();

    // The flags a key goes up with: modifiers as released modifiers, other
    // keys as pressed keys.
    static unsigned KeyUpFlags(unsigned char virtualKey);

private:
    void Release(unsigned char virtualKey);

    IKeyboardOutput& output_;
    const StopSignal* stop_;
    std::array<bool, 256> down_{};
};
