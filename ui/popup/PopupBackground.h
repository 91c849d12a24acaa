#pragma once

#include <windows.h>

// The typing popup's look, shared by the windows that go with it: a
// horizontal gradient from blue to light grey with an anti-aliased blue
// outline over a client area of `size`.
void PaintPopupBackground(HDC dc, SIZE size);
