#pragma once

#include <cstdint>
#include <string>

class QuorvallisCommands;
class ITypingPopup;
class ILineWorkers;

// Decides for every key event of the desktop whether it passes or is
// swallowed: watches for the two control keys while idle, then echoes keys
// in the popup until Enter runs the line or Escape drops it. While the
// shortcut is typed, the popup suggests how it may end; Right arrow or End
// takes the suggestion. The state lives in the catalogue (previousKey,
// typingState); everything runs on the user-interface thread.
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
    // Called once the hook has its answer (the message replied to), so the
    // key never waits on the search: shows the completion of the line as
    // the last key left it. Does nothing unless a key was typed since the
    // last call.
    void UpdateCompletion();

private:
    int OnTypingKey(unsigned virtualKey);
    void EndTyping();
    void ForgetCompletion();

    QuorvallisCommands& catalogue_;
    ITypingPopup& popup_;
    ILineWorkers& workers_;
    // The whole shortcut the popup suggests, as the command spells it.
    std::wstring completion_;
    bool completionDue_ = false;
};
