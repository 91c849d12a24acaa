#include "ui/controls/BufferedPaint.h"

#include "platform/win32/UniqueHandle.h"

namespace {

SIZE ClientSize(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    return SIZE{client.right - client.left, client.bottom - client.top};
}

}  // namespace

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

bool BufferedPaint::HandleMessage(HWND window, UINT message, WPARAM wParam, const Painter& paint, LRESULT* result)
{
    switch (message) {
    case WM_ERASEBKGND:
        *result = 1;
        return true;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        Paint(window, dc, paint);
        EndPaint(window, &ps);
        *result = 0;
        return true;
    }
    case WM_PRINTCLIENT:
        paint(reinterpret_cast<HDC>(wParam), ClientSize(window));
        *result = 0;
        return true;
    default:
        return false;
    }
}
