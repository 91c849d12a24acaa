#pragma once

#include <string>

// The small window that echoes the line while the user types it. It keeps the
// typed text; the state machine only drives it.
class ITypingPopup {
public:
    virtual ~ITypingPopup() = default;
    // Clears the text and shows the window without taking the focus.
    virtual void Show() = 0;
    // Takes the window away; the text stays until the next Show.
    virtual void Hide() = 0;
    // True while a window is there to receive keys.
    virtual bool Exists() const = 0;
    // A key typed into the line: Backspace deletes, other keys add their
    // character, keys without one change nothing.
    virtual void TypeKey(unsigned virtualKey) = 0;
    virtual std::wstring Text() const = 0;
    // Puts a whole text in place of the typed one (an accepted completion).
    virtual void SetText(const std::wstring& text) = 0;
    // The rest of the suggested shortcut, shown after the text in a lighter
    // colour, and the command's name where there is room; empty for none.
    virtual void ShowCompletion(const std::wstring& rest, const std::wstring& name) = 0;
};
