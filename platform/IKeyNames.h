#pragma once

#include <string>

// The keyboard layout's names of keys, as the system shows them ("Ctrl",
// "Delete", "Num Del"). The step editor builds a "Send key" step's text
// from them.
class IKeyNames {
public:
    virtual ~IKeyNames() = default;

    // The name of the key with this virtual-key code; `extended` asks for the
    // extended key of a pair (Delete rather than the keypad's Del). Empty
    // when the layout has no name for it.
    virtual std::wstring KeyName(unsigned virtualKey, bool extended) const = 0;
};
