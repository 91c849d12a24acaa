#pragma once

#include <windows.h>

#include <string>

class IRegistry;
class QuorvallisCommands;

// The "Preferences" box of the main window: the two control keys of the
// activation sequence, "Enable on start" and "Auto-start with Windows". Each
// choice goes into the catalogue at once (the typing state machine reads the
// keys at every keystroke) and is saved with the catalogue's next save.
class PreferencesBox {
public:
    struct KeyChoice {
        const wchar_t* text;
        unsigned virtualKey;
    };
    static const KeyChoice kKeyChoices[13];

    PreferencesBox(QuorvallisCommands& catalogue, IRegistry& registry, std::wstring programPath);

    // Fills the key combos and checks the boxes as the catalogue says.
    void Show(HWND dialog);
    // A command from one of the box's controls; false for any other.
    // `changed`: a preference took a new value (to be saved).
    bool OnCommand(UINT id, UINT code, bool& changed);

private:
    void FillKeyCombo(int comboId, unsigned selectedKey) const;

    QuorvallisCommands& catalogue_;
    IRegistry& registry_;
    std::wstring programPath_;
    HWND dialog_ = nullptr;
};
