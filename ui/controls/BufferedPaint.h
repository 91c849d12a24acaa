#pragma once

#include <windows.h>

#include <functional>

// Painting of the self-drawn controls and windows: through an off-screen
// bitmap of the client area, so a half-drawn frame never shows (the gradient
// flickering through the text); directly when GDI has no room for the bitmap.
class BufferedPaint {
public:
    // Draws a client area of `size` into the device context it is given.
    using Painter = std::function<void(HDC dc, SIZE size)>;

    // Paints `window`'s client area into `target` through an off-screen
    // bitmap. An empty client area paints nothing.
    static void Paint(HWND window, HDC target, const Painter& paint);

    // Answers WM_ERASEBKGND (nothing to erase), WM_PAINT (off-screen) and
    // WM_PRINTCLIENT (straight into the given DC) for a subclassed control
    // that paints all of itself, putting the answer in *result. Returns false
    // for any other message.
    static bool HandleMessage(HWND window, UINT message, WPARAM wParam, const Painter& paint, LRESULT* result);
};
