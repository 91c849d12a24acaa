#pragma once

#include <string>

// Plays a text of the keystroke language (an "Echo string" step) into the
// window that has the keyboard focus. The step executor sees only this; the
// keystroke language itself lives behind it.
class IKeystrokePlayer {
public:
    virtual ~IKeystrokePlayer() = default;
    // False when the text breaks the language; then nothing was typed.
    virtual bool Play(const std::wstring& text) = 0;
};
