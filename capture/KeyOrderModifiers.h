#pragma once

#include <cstdint>

// Shift and Caps Lock as the keys the hook reported left them, in the order
// they came. The keys go to other applications, so the launcher thread's own
// key state lags behind them, and the physical state may already be ahead of
// the key being handled; following the reported keys gives the state that
// was in force for each key. Caps Lock follows the state each key carries
// from its application; only keys without it count the presses.
class KeyOrderModifiers {
public:
    // Caps Lock's state before the first key is seen.
    explicit KeyOrderModifiers(bool capsLockOn = false) : capsLockOn_(capsLockOn) {}

    // Every key event the hook reported, with its keystroke flags.
    void OnKeyEvent(unsigned virtualKey, std::uint32_t flags);

    bool ShiftDown() const { return leftShift_ || rightShift_; }
    bool CapsLockOn() const { return capsLockOn_; }

private:
    bool leftShift_ = false;
    bool rightShift_ = false;
    bool capsLockOn_;
};
