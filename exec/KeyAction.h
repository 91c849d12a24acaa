#pragma once

#include "platform/IKeyboardOutput.h"

#include <string>

// One step of a played keystroke text: a key event or one of the commands
// the language's braces hold.
struct KeyAction {
    enum class Kind { KeyDown, KeyUp, Sleep, Beep, Activate, ToggleNumLock };

    // Key event flags, those of the keyboard output.
    static constexpr unsigned kExtended = IKeyboardOutput::kExtendedKey;
    static constexpr unsigned kKeyUp = IKeyboardOutput::kKeyUp;

    Kind kind = Kind::KeyDown;
    unsigned char virtualKey = 0;
    unsigned flags = 0;
    int milliseconds = 0; // Sleep, Beep
    int frequency = 0;    // Beep
    std::wstring title;   // Activate

    static KeyAction Down(unsigned char vk, unsigned flags)
    {
        KeyAction a;
        a.virtualKey = vk;
        a.flags = flags;
        return a;
    }
    static KeyAction Up(unsigned char vk, unsigned flags)
    {
        KeyAction a = Down(vk, flags);
        a.kind = Kind::KeyUp;
        return a;
    }
    static KeyAction Wait(int ms)
    {
        KeyAction a;
        a.kind = Kind::Sleep;
        a.milliseconds = ms;
        return a;
    }
    static KeyAction Tone(int frequency, int ms)
    {
        KeyAction a;
        a.kind = Kind::Beep;
        a.frequency = frequency;
        a.milliseconds = ms;
        return a;
    }
    static KeyAction ActivateWindow(const std::wstring& title)
    {
        KeyAction a;
        a.kind = Kind::Activate;
        a.title = title;
        return a;
    }
    static KeyAction NumLock()
    {
        KeyAction a;
        a.kind = Kind::ToggleNumLock;
        return a;
    }
};
