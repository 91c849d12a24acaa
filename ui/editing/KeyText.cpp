#include "ui/editing/KeyText.h"

#include "platform/IKeyNames.h"
#include "platform/KeyCodes.h"

std::wstring KeyText::For(unsigned virtualKey, unsigned modifiers, const IKeyNames& names)
{
    std::wstring text;
    if (modifiers & kControl)
        text += names.KeyName(KeyCode::Control, false) + L"+";
    if (modifiers & kAlt)
        text += names.KeyName(KeyCode::Alt, false) + L"+";
    if (modifiers & kShift)
        text += names.KeyName(KeyCode::Shift, false) + L"+";
    return text + names.KeyName(virtualKey, (modifiers & kExtended) != 0);
}

bool KeyText::IsKey(unsigned virtualKey)
{
    return virtualKey >= 1 && virtualKey <= 254;
}
