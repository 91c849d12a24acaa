#pragma once

#include "capture/IKeyboardState.h"

// The keyboard as the system reports it to the launcher's thread.
class Win32KeyboardState : public IKeyboardState {
public:
    bool ShiftDown() const override;
    bool CapsLockOn() const override;
    unsigned CharacterOfKey(unsigned virtualKey) const override;
};
