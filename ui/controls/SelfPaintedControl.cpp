#include "ui/controls/SelfPaintedControl.h"
#include "ui/controls/GuardedSubclass.h"

#include <commctrl.h>

SelfPaintedControl::~SelfPaintedControl()
{
    Detach();
}

bool SelfPaintedControl::Attach(HWND dialog, int controlId)
{
    Detach();
    HWND window = GetDlgItem(dialog, controlId);
    if (!window || !SetWindowSubclass(window, &SelfPaintedControl::SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    window_ = window;
    OnAttached();
    Repaint();
    return true;
}

void SelfPaintedControl::Detach()
{
    if (window_ && IsWindow(window_))
        RemoveWindowSubclass(window_, &SelfPaintedControl::SubclassProc, 1);
    window_ = nullptr;
    cache_.Invalidate();
}

void SelfPaintedControl::Repaint()
{
    cache_.Invalidate();
    if (window_)
        InvalidateRect(window_, nullptr, FALSE);
}

LRESULT CALLBACK SelfPaintedControl::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                  DWORD_PTR refData)
{
    return GuardedSubclassCall("a self-painted control's window procedure", &SelfPaintedControl::HandleSubclassMessage,
                               window, message, wParam, lParam, refData);
}

LRESULT SelfPaintedControl::HandleSubclassMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                  DWORD_PTR refData)
{
    auto* self = reinterpret_cast<SelfPaintedControl*>(refData);
    LRESULT result = 0;
    if (self->cache_.HandleMessage(
            window, message, wParam, [self](HDC dc, SIZE size) { self->PaintContent(dc, size); }, &result))
        return result;
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &SelfPaintedControl::SubclassProc, 1);
        self->window_ = nullptr;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}
