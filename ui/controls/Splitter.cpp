#include "ui/controls/Splitter.h"

#include <windowsx.h>

#include <algorithm>

#include "platform/GuardedCall.h"
#include "ui/controls/WindowClass.h"

namespace {

// Every other pixel: the shaded bar that follows the mouse.
UniqueGdi<HBRUSH> HalftoneBrush()
{
    static const WORD pattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    UniqueGdi<HBITMAP> bitmap(CreateBitmap(8, 8, 1, 1, pattern));
    return UniqueGdi<HBRUSH>(bitmap ? CreatePatternBrush(bitmap.get()) : nullptr);
}

} // namespace

Splitter::~Splitter() = default;

bool Splitter::Create(HWND parent, const RECT& rect, HWND notify)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (window_ || !RegisterWindowClassOnce(instance, kClassName, &Splitter::WindowProc))
        return false;
    notify_ = notify;
    HWND window =
        CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect.left,
                        rect.top, rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, instance, this);
    window_.reset(window);
    return window != nullptr;
}

void Splitter::SetPanes(HWND left, HWND right)
{
    left_ = left;
    right_ = right;
    for (HWND pane : {left_, right_}) {
        if (pane)
            SetParent(pane, hwnd());
    }
    Layout();
}

void Splitter::SetMinimumPaneWidth(int pixels)
{
    minimumPane_ = std::max(0, pixels);
    SetDivider(divider_);
}

void Splitter::SetDivider(int x)
{
    divider_ = Clamp(x);
    const int width = Width();
    if (width > 0)
        share_ = static_cast<double>(divider_) / width;
    Layout();
}

int Splitter::barWidth() const
{
    return std::max(1, GetSystemMetrics(SM_CXSIZEFRAME));
}

int Splitter::Width() const
{
    RECT client{};
    if (hwnd())
        GetClientRect(hwnd(), &client);
    return client.right;
}

int Splitter::Clamp(int x) const
{
    const int largest = Width() - barWidth() - minimumPane_;
    return std::max(std::min(x, largest), std::min(minimumPane_, std::max(0, largest)));
}

void Splitter::Layout()
{
    if (!hwnd())
        return;
    RECT client{};
    GetClientRect(hwnd(), &client);
    const int rightStart = divider_ + barWidth();
    // The panes draw themselves anew: what they showed before, copied to
    // the new place, would be cut and shifted.
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS;
    HDWP moves = BeginDeferWindowPos(2);
    if (moves && left_)
        moves = DeferWindowPos(moves, left_, nullptr, 0, 0, divider_, client.bottom, flags);
    if (moves && right_)
        moves = DeferWindowPos(moves, right_, nullptr, rightStart, 0, std::max(0L, client.right - rightStart),
                               client.bottom, flags);
    if (moves)
        EndDeferWindowPos(moves);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

bool Splitter::LiveDrag() const
{
    if (feedback_ != DragFeedback::System)
        return feedback_ == DragFeedback::Live;
    BOOL fullDrag = TRUE;
    SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &fullDrag, 0);
    return fullDrag != FALSE;
}

void Splitter::DrawOutline(int x) const
{
    RECT client{};
    GetClientRect(hwnd(), &client);
    // A DC that is not clipped by the panes: the outline crosses them.
    HDC dc = GetDCEx(hwnd(), nullptr, DCX_CACHE);
    if (!dc)
        return;
    UniqueGdi<HBRUSH> brush = HalftoneBrush();
    if (brush) {
        ScopedSelectObject selected(dc, brush.get());
        PatBlt(dc, x, 0, barWidth(), client.bottom, PATINVERT);
    }
    ReleaseDC(hwnd(), dc);
}

void Splitter::OnSize(int width)
{
    divider_ = Clamp(static_cast<int>(share_ * width));
    Layout();
}

void Splitter::OnButtonDown(int x)
{
    if (!OnBar(x))
        return;
    dragging_ = true;
    grip_ = x - divider_;
    SetCapture(hwnd());
    if (!LiveDrag()) {
        outlineX_ = divider_;
        DrawOutline(outlineX_);
        outlineShown_ = true;
    }
}

void Splitter::OnMouseMove(int x)
{
    if (!dragging_)
        return;
    const int wanted = Clamp(x - grip_);
    if (!outlineShown_) {
        if (wanted != divider_) {
            SetDivider(wanted);
            UpdateWindow(hwnd());
        }
        return;
    }
    if (wanted == outlineX_)
        return;
    DrawOutline(outlineX_);
    outlineX_ = wanted;
    DrawOutline(outlineX_);
}

void Splitter::OnButtonUp(int x)
{
    if (!dragging_)
        return;
    const int wanted = Clamp(x - grip_);
    EndDrag();
    SetDivider(wanted);
}

void Splitter::EndDrag()
{
    dragging_ = false;
    if (outlineShown_) {
        DrawOutline(outlineX_);
        outlineShown_ = false;
    }
    if (GetCapture() == hwnd())
        ReleaseCapture();
}

void Splitter::Paint(HDC dc) const
{
    RECT client{};
    GetClientRect(hwnd(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
}

LRESULT Splitter::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = hwnd();
    switch (message) {
    case WM_SIZE: OnSize(LOWORD(lParam)); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        Paint(dc);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_SETCURSOR: {
        POINT cursor{};
        GetCursorPos(&cursor);
        ScreenToClient(window, &cursor);
        if (LOWORD(lParam) == HTCLIENT && (dragging_ || OnBar(cursor.x))) {
            SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONDOWN: OnButtonDown(GET_X_LPARAM(lParam)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(GET_X_LPARAM(lParam)); return 0;
    case WM_LBUTTONUP: OnButtonUp(GET_X_LPARAM(lParam)); return 0;
    case WM_CAPTURECHANGED:
        // Taken away mid-drag: the divider stays where it was last placed.
        if (dragging_ && reinterpret_cast<HWND>(lParam) != window)
            EndDrag();
        return 0;
    case WM_NOTIFY:
    case WM_COMMAND:
    case WM_CONTEXTMENU:
        if (notify_)
            return SendMessageW(notify_, message, wParam, lParam);
        break;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK Splitter::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Splitter*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || !self->window_)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // Destroyed with its parent: the handle is no longer ours to destroy.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_.release();
        self->left_ = self->right_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (GuardedRun("the splitter's window procedure", [&] { result = self->OnMessage(message, wParam, lParam); }))
        return result;
    return DefWindowProcW(window, message, wParam, lParam);
}
