#include "capture/TypedLine.h"

wchar_t TypedLine::CharacterFor(unsigned virtualKey, const IKeyboardState& keyboard)
{
    const unsigned mapped = keyboard.CharacterOfKey(virtualKey);
    // One UTF-16 unit per character: anything wider is no character here.
    if (mapped == 0 || mapped > 0xFFFF)
        return 0;
    const bool shift = keyboard.ShiftDown();
    if (mapped >= L'A' && mapped <= L'Z') {
        // Upper case only with exactly one of Shift and Caps Lock.
        const bool upper = shift != keyboard.CapsLockOn();
        return static_cast<wchar_t>(upper ? mapped : mapped + 32);
    }
    if (shift && mapped == L';')
        return L':';
    if (shift && mapped == L'\'')
        return L'"';
    return static_cast<wchar_t>(mapped);
}

bool TypedLine::Assign(const std::wstring& text)
{
    if (text.size() > kMaxLength)
        return false;
    text_ = text;
    return true;
}

bool TypedLine::TypeKey(unsigned virtualKey, const IKeyboardState& keyboard)
{
    if (virtualKey == KeyCode::Backspace) {
        if (text_.empty())
            return false;
        text_.pop_back();
        return true;
    }
    const wchar_t character = CharacterFor(virtualKey, keyboard);
    if (character == 0 || text_.size() >= kMaxLength)
        return false;
    text_.push_back(character);
    return true;
}
