#include "ui/popup/Win32KeyboardState.h"

#include <windows.h>

Win32KeyboardState::Win32KeyboardState() : modifiers_((GetKeyState(VK_CAPITAL) & 1) != 0)
{
}

unsigned Win32KeyboardState::CharacterOfKey(unsigned virtualKey) const
{
    return MapVirtualKeyW(virtualKey, MAPVK_VK_TO_CHAR);
}
