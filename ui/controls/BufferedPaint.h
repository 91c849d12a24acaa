#pragma once

#include <windows.h>

#include <functional>

#include "platform/win32/UniqueHandle.h"

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
};

// The last image a control painted, kept for its next WM_PAINT: a control
// uncovered, or repainted because a sibling moved, is copied rather than
// drawn again. Drawn anew when the size changed or Invalidate was called.
class PaintCache {
public:
    // Copies `area` of `window`'s client image into `target`, drawing the
    // image first when it is out of date.
    void Paint(HWND window, HDC target, const RECT& area, const BufferedPaint::Painter& paint);
    void Invalidate() { valid_ = false; }
    // Answers WM_ERASEBKGND (nothing to erase), WM_PAINT (from the cache) and
    // WM_PRINTCLIENT (drawn straight into the given DC), putting the answer
    // in *result; marks the image out of date on the messages that change
    // what a control shows. Returns false for any other message.
    bool HandleMessage(HWND window, UINT message, WPARAM wParam, const BufferedPaint::Painter& paint, LRESULT* result);

private:
    UniqueGdi<HBITMAP> image_;
    SIZE size_{0, 0};
    bool valid_ = false;
};
