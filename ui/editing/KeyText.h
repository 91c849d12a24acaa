#pragma once

#include <string>

class IKeyNames;

// The text a "Send key" step shows: the held modifier keys in the order
// Ctrl, Alt, Shift, each followed by "+", then the key's own name, all as the
// keyboard layout names them (Ctrl+Alt+Delete with an English layout).
class KeyText {
public:
    // Modifier bits of a hot key and of a step's `modifiers`.
    static constexpr unsigned kShift = 1;
    static constexpr unsigned kControl = 2;
    static constexpr unsigned kAlt = 4;
    static constexpr unsigned kExtended = 8;

    static std::wstring For(unsigned virtualKey, unsigned modifiers, const IKeyNames& names);

    // True for a virtual-key code a step can send: 1 to 254. 0 is no key, 255
    // is reserved, and 0xFFFF marks a step that never had one.
    static bool IsKey(unsigned virtualKey);
};
