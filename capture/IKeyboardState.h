#pragma once

// What the typed line needs to know about the keyboard when a key arrives.
class IKeyboardState {
public:
    virtual ~IKeyboardState() = default;
    virtual bool ShiftDown() const = 0;
    virtual bool CapsLockOn() const = 0;
    // The key's unshifted character as the keyboard layout maps it (letters
    // come back upper case); 0 when the key makes no character.
    virtual unsigned CharacterOfKey(unsigned virtualKey) const = 0;
};
