#pragma once

#include <windows.h>

// Fills `rect` with colour `left` at its left edge shading into `right` at
// its right edge: the banner, the typing popup, the menus' icon column and
// the main window's toolbar.
void FillHorizontalGradient(HDC dc, const RECT& rect, COLORREF left, COLORREF right);
