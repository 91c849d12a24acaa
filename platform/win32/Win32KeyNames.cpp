#include "platform/win32/Win32KeyNames.h"

#include <windows.h>

std::wstring Win32KeyNames::KeyName(unsigned virtualKey, bool extended) const
{
    const UINT scanCode = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    LONG keyData = static_cast<LONG>((scanCode & 0xFF) << 16);
    if (extended)
        keyData |= 1L << 24;
    // Key names are short; a buffer far larger than any of them keeps one whole.
    wchar_t name[256] = L"";
    const int length = GetKeyNameTextW(keyData, name, 256);
    return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}
