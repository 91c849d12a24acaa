#pragma once

#include <windows.h>

#include "ui/controls/BufferedPaint.h"

// A control of a dialog template that paints all of itself: the object
// subclasses the window the template created and paints it through an
// off-screen image, which it keeps until the size or the content changes.
class SelfPaintedControl {
public:
    SelfPaintedControl(const SelfPaintedControl&) = delete;
    SelfPaintedControl& operator=(const SelfPaintedControl&) = delete;
    virtual ~SelfPaintedControl();

    bool Attach(HWND dialog, int controlId);
    void Detach();
    HWND hwnd() const { return window_; }

    // Paints the whole control into `dc` for a client area of `size`.
    virtual void PaintContent(HDC dc, SIZE size) const = 0;

protected:
    SelfPaintedControl() = default;
    // What PaintContent draws has changed: draw it again.
    void Repaint();
    // Runs once the window is subclassed.
    virtual void OnAttached() {}

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR refData);
    // The procedure itself; SubclassProc guards it.
    static LRESULT HandleSubclassMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR refData);

    HWND window_ = nullptr;
    PaintCache cache_;
};
