#pragma once

#include "capture/IKeyboardState.h"
#include "capture/KeyOrderModifiers.h"

#include <cstdint>

// The keyboard as the launcher sees it: Shift and Caps Lock both follow the
// keys the hook reports, in their order; characters come from the layout.
class Win32KeyboardState : public IKeyboardState {
public:
    // Caps Lock starts as the system has it when the launcher starts.
    Win32KeyboardState();

    // Every key the hook reported, whatever the launcher does with it.
    void NoteKeyEvent(unsigned virtualKey, std::uint32_t flags) { modifiers_.OnKeyEvent(virtualKey, flags); }

    bool ShiftDown() const override { return modifiers_.ShiftDown(); }
    bool CapsLockOn() const override { return modifiers_.CapsLockOn(); }
    unsigned CharacterOfKey(unsigned virtualKey) const override;

private:
    KeyOrderModifiers modifiers_;
};
