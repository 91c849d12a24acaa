#pragma once

// Key values of the US keyboard layout, as the platform's layout lookup
// gives them: low byte the virtual key, high byte 1 for Shift, 2 for Ctrl.
inline unsigned short UsKeyValue(wchar_t c)
{
    if (c >= L'a' && c <= L'z')
        return static_cast<unsigned short>(0x41 + (c - L'a'));
    if (c >= L'A' && c <= L'Z')
        return static_cast<unsigned short>(0x141 + (c - L'A'));
    if (c >= L'0' && c <= L'9')
        return static_cast<unsigned short>(c);
    switch (c) {
    case L' ': return 0x20;
    case L'\t': return 0x09;
    case L'\r': return 0x0D;
    case L'\n': return 0x20D;
    case L'\b': return 0x08;
    case L'!': return 0x131;
    case L'@': return 0x132;
    case L'#': return 0x133;
    case L'$': return 0x134;
    case L'%': return 0x135;
    case L'^': return 0x136;
    case L'&': return 0x137;
    case L'*': return 0x138;
    case L'(': return 0x139;
    case L')': return 0x130;
    case L'-': return 0xBD;
    case L'_': return 0x1BD;
    case L'=': return 0xBB;
    case L'+': return 0x1BB;
    case L'[': return 0xDB;
    case L'{': return 0x1DB;
    case L']': return 0xDD;
    case L'}': return 0x1DD;
    case L'\\': return 0xDC;
    case L'|': return 0x1DC;
    case L';': return 0xBA;
    case L':': return 0x1BA;
    case L'\'': return 0xDE;
    case L'"': return 0x1DE;
    case L',': return 0xBC;
    case L'<': return 0x1BC;
    case L'.': return 0xBE;
    case L'>': return 0x1BE;
    case L'/': return 0xBF;
    case L'?': return 0x1BF;
    case L'`': return 0xC0;
    case L'~': return 0x1C0;
    default: return 0xFFFF;
    }
}
