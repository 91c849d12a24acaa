#pragma once

#include "capture/IKeyboardState.h"

// A US layout as MapVirtualKeyW with MAPVK_VK_TO_CHAR reports it, with
// Shift and Caps Lock set by the test.
class FakeKeyboard : public IKeyboardState {
public:
    bool shift = false;
    bool capsLock = false;

    bool ShiftDown() const override { return shift; }
    bool CapsLockOn() const override { return capsLock; }
    unsigned CharacterOfKey(unsigned vk) const override
    {
        if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z') || vk == ' ')
            return vk;
        switch (vk) {
        case 0xBA: return ';';
        case 0xDE: return '\'';
        case 0xBF: return '/';
        case 0xBE: return '.';
        case 0xBD: return '-';
        case 0x6A: return '*'; // numeric keypad
        case 8: return 8;      // Backspace maps to itself
        case 13: return 13;
        case 27: return 27;
        default: return 0;
        }
    }
};
