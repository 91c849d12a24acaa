#include "ui/controls/BufferedPaint.h"

namespace {

SIZE ClientSize(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    return SIZE{client.right - client.left, client.bottom - client.top};
}

} // namespace

void BufferedPaint::Paint(HWND window, HDC target, const Painter& paint)
{
    const SIZE size = ClientSize(window);
    if (size.cx <= 0 || size.cy <= 0)
        return;
    UniqueMemoryDc memory(CreateCompatibleDC(target));
    UniqueGdi<HBITMAP> bitmap(CreateCompatibleBitmap(target, size.cx, size.cy));
    if (memory && bitmap) {
        ScopedSelectObject selected(memory.get(), bitmap.get());
        paint(memory.get(), size);
        BitBlt(target, 0, 0, size.cx, size.cy, memory.get(), 0, 0, SRCCOPY);
    } else {
        paint(target, size);
    }
}

void PaintCache::Paint(HWND window, HDC target, const RECT& area, const BufferedPaint::Painter& paint)
{
    const SIZE size = ClientSize(window);
    if (size.cx <= 0 || size.cy <= 0)
        return;
    UniqueMemoryDc memory(CreateCompatibleDC(target));
    if (!memory) {
        paint(target, size);
        return;
    }
    if (!image_ || size.cx != size_.cx || size.cy != size_.cy) {
        image_.reset(CreateCompatibleBitmap(target, size.cx, size.cy));
        size_ = size;
        valid_ = false;
    }
    if (!image_) {
        paint(target, size);
        return;
    }
    ScopedSelectObject selected(memory.get(), image_.get());
    if (!valid_) {
        paint(memory.get(), size);
        valid_ = true;
    }
    BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, memory.get(), area.left,
           area.top, SRCCOPY);
}

bool PaintCache::HandleMessage(HWND window, UINT message, WPARAM wParam, const BufferedPaint::Painter& paint,
                               LRESULT* result)
{
    switch (message) {
    case WM_ERASEBKGND: *result = 1; return true;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        Paint(window, dc, ps.rcPaint, paint);
        EndPaint(window, &ps);
        *result = 0;
        return true;
    }
    case WM_PRINTCLIENT:
        paint(reinterpret_cast<HDC>(wParam), ClientSize(window));
        *result = 0;
        return true;
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_ENABLE:
    case WM_SYSCOLORCHANGE: valid_ = false; return false;
    default: return false;
    }
}
