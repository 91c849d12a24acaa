#pragma once

#include <windows.h>

class IOptions;
class TypingStateMachine;

// The switch of the list of matches while typing: kept as the number
// "ShowMatches" of the program's options (1 on, the default; 0 off), given
// to the typing state machine, and shown as the check of the menu item.
class MatchesOption {
public:
    static constexpr const wchar_t* kValueName = L"ShowMatches";

    MatchesOption(IOptions& options, TypingStateMachine& typing) : options_(options), typing_(typing) {}

    // Reads the stored choice into the state machine.
    void Load();
    // Turns the list the other way, keeps the choice and shows it in the menu of `window`.
    void Toggle(HWND window);
    void ShowInMenu(HWND window) const;

private:
    IOptions& options_;
    TypingStateMachine& typing_;
};
