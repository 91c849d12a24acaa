#pragma once

#include <cstdint>

class QuorvallisCommands;
class ITypingPopup;
class ILineWorkers;

// Decides for every key event of the desktop whether it passes or is
// swallowed: watches for the two control keys while idle, then echoes keys
// in the popup until Enter runs the line or Escape drops it. The state lives
// in the catalogue (previousKey, typingState); everything runs on the
// user-interface thread.
class TypingStateMachine {
public:
    static constexpr int kPass = 1;
    static constexpr int kSwallow = 0;
    static constexpr int kIdle = 0;
    static constexpr int kTyping = 1;

    TypingStateMachine(QuorvallisCommands& catalogue, ITypingPopup& popup, ILineWorkers& workers);

    // One key event as the keyboard hook saw it: the virtual-key code and the
    // keystroke flags. Returns kPass or kSwallow.
    int OnKeyEvent(unsigned virtualKey, std::uint32_t flags);

private:
    int OnTypingKey(unsigned virtualKey);

    QuorvallisCommands& catalogue_;
    ITypingPopup& popup_;
    ILineWorkers& workers_;
};
