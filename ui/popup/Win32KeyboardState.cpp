#include "ui/popup/Win32KeyboardState.h"

#include <windows.h>

bool Win32KeyboardState::ShiftDown() const
{
    // The keys go to another application, so this thread's own key state may
    // lag behind; the physical state settles it.
    return ((GetKeyState(VK_SHIFT) | GetAsyncKeyState(VK_SHIFT)) & 0x8000) != 0;
}

bool Win32KeyboardState::CapsLockOn() const
{
    return (GetKeyState(VK_CAPITAL) & 1) != 0;
}

unsigned Win32KeyboardState::CharacterOfKey(unsigned virtualKey) const
{
    return MapVirtualKeyW(virtualKey, MAPVK_VK_TO_CHAR);
}
