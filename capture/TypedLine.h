#pragma once

#include "capture/IKeyboardState.h"
#include "platform/KeyCodes.h"

#include <cstddef>
#include <string>

// The line being typed: turns virtual-key codes into characters and keeps the
// text short enough for the worker's hand-over buffer.
class TypedLine {
public:
    // The hand-over buffer holds 1200 characters with the terminator; further
    // characters are refused rather than cut off later.
    static constexpr std::size_t kMaxLength = 1199;

    void Clear() { text_.clear(); }
    // True when the text changed.
    bool TypeKey(unsigned virtualKey, const IKeyboardState& keyboard);
    // Puts a whole text in place of the line; refused (false) when too long.
    bool Assign(const std::wstring& text);
    const std::wstring& Text() const { return text_; }

    // The character a key adds to the line; 0 when it adds none.
    static wchar_t CharacterFor(unsigned virtualKey, const IKeyboardState& keyboard);

private:
    std::wstring text_;
};
