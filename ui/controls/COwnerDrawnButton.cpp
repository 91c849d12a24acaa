#include "ui/controls/COwnerDrawnButton.h"
#include "ui/controls/GuardedSubclass.h"

#include <commctrl.h>
#include <vsstyle.h>

#include <string>

namespace {

constexpr int kCornerEllipse = 8;
constexpr int kIconGap = 3;

std::wstring WindowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], length + 1)));
    return text;
}

} // namespace

COwnerDrawnButton::COwnerDrawnButton()
    : hotBackground_(GetSysColor(COLOR_BTNFACE)),
      hotText_(GetSysColor(COLOR_BTNTEXT)),
      normalBackground_(GetSysColor(COLOR_BTNFACE)),
      normalText_(GetSysColor(COLOR_BTNTEXT)),
      theme_(new ThemeHelper())
{
}

COwnerDrawnButton::~COwnerDrawnButton()
{
    Detach();
}

bool COwnerDrawnButton::Attach(HWND dialog, int controlId)
{
    Detach();
    HWND window = GetDlgItem(dialog, controlId);
    if (!window || !SetWindowSubclass(window, &COwnerDrawnButton::SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    window_ = window;
    // BM_SETSTYLE rather than the window style alone: the button control
    // keeps its own copy of the type.
    const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
    SendMessageW(window_, BM_SETSTYLE,
                 static_cast<WPARAM>((style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW), FALSE);
    InvalidateRect(window_, nullptr, TRUE);
    return true;
}

void COwnerDrawnButton::Detach()
{
    if (window_ && IsWindow(window_)) {
        RemoveWindowSubclass(window_, &COwnerDrawnButton::SubclassProc, 1);
        if (region_)
            SetWindowRgn(window_, nullptr, FALSE);
    }
    // The window owns a region handed to SetWindowRgn; ours is a copy.
    region_.reset();
    window_ = nullptr;
}

bool COwnerDrawnButton::ReadIconSize(HICON icon, int* width, int* height)
{
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info))
        return false;
    UniqueGdi<HBITMAP> colour(info.hbmColor);
    UniqueGdi<HBITMAP> mask(info.hbmMask);
    BITMAP bitmap{};
    if (colour) {
        if (!GetObjectW(colour.get(), sizeof(bitmap), &bitmap))
            return false;
        *width = bitmap.bmWidth;
        *height = bitmap.bmHeight;
    } else {
        // A monochrome icon stacks its AND and XOR masks in one bitmap.
        if (!mask || !GetObjectW(mask.get(), sizeof(bitmap), &bitmap))
            return false;
        *width = bitmap.bmWidth;
        *height = bitmap.bmHeight / 2;
    }
    return *width > 0 && *height > 0;
}

void COwnerDrawnButton::SetIconResource(int resourceId)
{
    SetIcons(
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId), IMAGE_ICON, 16, 16, 0)));
}

void COwnerDrawnButton::SetIcons(HICON first, HICON second)
{
    // A handle given for both, or one the button already owns, is owned
    // once: it is destroyed once, and not while it is still shown.
    if (second == first)
        second = nullptr;
    for (SizedIcon* owned : {&first_, &second_}) {
        if (owned->icon && (owned->icon.get() == first || owned->icon.get() == second))
            owned->icon.release();
    }
    SizedIcon newFirst;
    SizedIcon newSecond;
    newFirst.icon.reset(first);
    newSecond.icon.reset(second);
    const bool firstOk = ReadIconSize(first, &newFirst.width, &newFirst.height);
    const bool secondOk = !second || ReadIconSize(second, &newSecond.width, &newSecond.height);
    if (firstOk && secondOk) {
        first_ = std::move(newFirst);
        second_ = std::move(newSecond);
    } else {
        first_ = SizedIcon();
        second_ = SizedIcon();
    }
    if (window_)
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void COwnerDrawnButton::SetClassicOnly(bool classicOnly)
{
    classicOnly_ = classicOnly;
    if (window_)
        InvalidateRect(window_, nullptr, FALSE);
}

void COwnerDrawnButton::DrawBackground(HDC dc, const RECT& rect)
{
    if (!classicOnly_ && theme_->IsAppThemed()) {
        HTHEME data = theme_->OpenThemeData(window_, L"Button");
        if (data) {
            theme_->DrawThemeParentBackground(window_, dc, &rect);
            const int state = pressed_ ? PBS_PRESSED : hot_ ? PBS_HOT : PBS_NORMAL;
            const bool drawn = theme_->DrawThemeBackground(data, dc, BP_PUSHBUTTON, state, &rect, nullptr);
            theme_->CloseThemeData(data);
            if (drawn)
                return;
        }
    }
    const bool lit = hot_ || pressed_;
    UniqueGdi<HBRUSH> face(CreateSolidBrush(lit ? hotBackground_ : normalBackground_));
    FillRect(dc, &rect, face.get());
    if (!lit)
        return;
    UniqueGdi<HPEN> outline(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    ScopedSelectObject pen(dc, outline.get());
    ScopedSelectObject brush(dc, GetStockObject(NULL_BRUSH));
    if (rounded_)
        RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, kCornerEllipse, kCornerEllipse);
    else
        Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void COwnerDrawnButton::DrawItem(const DRAWITEMSTRUCT& item)
{
    pressed_ = (item.itemState & ODS_SELECTED) != 0;
    disabled_ = (item.itemState & ODS_DISABLED) != 0;
    HDC dc = item.hDC;
    const RECT rect = item.rcItem;

    if (rounded_ && !region_ && window_) {
        // The window takes the region it is given; keep our own copy.
        HRGN shape =
            CreateRoundRectRgn(rect.left, rect.top, rect.right + 1, rect.bottom + 1, kCornerEllipse, kCornerEllipse);
        if (shape) {
            region_.reset(CreateRectRgn(0, 0, 0, 0));
            CombineRgn(region_.get(), shape, nullptr, RGN_COPY);
            if (!SetWindowRgn(window_, shape, TRUE))
                DeleteObject(shape);
        }
    }

    DrawBackground(dc, rect);

    const std::wstring text = window_ ? WindowText(window_) : std::wstring();
    RECT textArea = rect;
    const SizedIcon& icon = (hot_ || pressed_ || !second_.icon) ? first_ : second_;
    if (icon.icon) {
        int x = text.empty() ? rect.left + (rect.right - rect.left - icon.width) / 2 : rect.left + kIconGap;
        int y = rect.top + (rect.bottom - rect.top - icon.height) / 2;
        if (!text.empty())
            textArea.left += icon.width + kIconGap;
        if (pressed_) {
            ++x;
            ++y;
        }
        if (disabled_)
            DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.icon.get()), 0, x, y, icon.width,
                       icon.height, DST_ICON | DSS_DISABLED);
        else
            DrawIconEx(dc, x, y, icon.icon.get(), icon.width, icon.height, 0, nullptr, DI_NORMAL);
    }

    if (text.empty())
        return;
    const int length = static_cast<int>(text.size());
    RECT measured = textArea;
    DrawTextW(dc, text.c_str(), length, &measured, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
    const int blockWidth = measured.right - measured.left;
    const int blockHeight = measured.bottom - measured.top;
    RECT place;
    place.left = textArea.left + (textArea.right - textArea.left - blockWidth) / 2;
    place.top = textArea.top + (textArea.bottom - textArea.top - blockHeight) / 2;
    place.right = place.left + blockWidth;
    place.bottom = place.top + blockHeight;
    if (pressed_)
        OffsetRect(&place, 1, 1);

    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = GetTextColor(dc);
    const UINT format = DT_WORDBREAK | DT_CENTER;
    if (disabled_) {
        RECT shifted = place;
        OffsetRect(&shifted, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
        DrawTextW(dc, text.c_str(), length, &shifted, format);
        SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
        DrawTextW(dc, text.c_str(), length, &place, format);
    } else {
        SetTextColor(dc, (hot_ || pressed_) ? hotText_ : normalText_);
        DrawTextW(dc, text.c_str(), length, &place, format);
    }
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}

void COwnerDrawnButton::OnMouseMove(WPARAM keys)
{
    if ((keys & MK_LBUTTON) && !hot_)
        return;
    if (GetCapture() != window_) {
        if (GetActiveWindow() && GetParent(window_)) {
            hot_ = true;
            SetCapture(window_);
            InvalidateRect(window_, nullptr, FALSE);
        }
        return;
    }
    POINT cursor;
    GetCursorPos(&cursor);
    if (WindowFromPoint(cursor) == window_)
        return;
    if (hot_)
        EndHot();
    if (!(keys & MK_LBUTTON))
        ReleaseCapture();
}

void COwnerDrawnButton::EndHot()
{
    hot_ = false;
    InvalidateRect(window_, nullptr, FALSE);
    // The parent shows through the rounded corners; repaint what lies under us.
    HWND parent = GetParent(window_);
    if (parent) {
        RECT area;
        GetWindowRect(window_, &area);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
        InvalidateRect(parent, &area, TRUE);
    }
}

LRESULT CALLBACK COwnerDrawnButton::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                 DWORD_PTR refData)
{
    return GuardedSubclassCall("a button's window procedure", &COwnerDrawnButton::HandleSubclassMessage, window,
                               message, wParam, lParam, refData);
}

LRESULT COwnerDrawnButton::HandleSubclassMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                 DWORD_PTR refData)
{
    auto* self = reinterpret_cast<COwnerDrawnButton*>(refData);
    switch (message) {
    case WM_MOUSEMOVE: {
        const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
        self->OnMouseMove(wParam);
        return result;
    }
    case WM_KILLFOCUS:
    case WM_CAPTURECHANGED: {
        // The capture can go without a mouse move (Alt+Tab, a menu): then no
        // move would ever end the hot state.
        const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
        if (self->hot_ && (message == WM_KILLFOCUS || reinterpret_cast<HWND>(lParam) != window))
            self->EndHot();
        return result;
    }
    case WM_DRAWITEM + 0x2000: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item && item->CtlType == ODT_BUTTON) {
            self->DrawItem(*item);
            return TRUE;
        }
        break;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, &COwnerDrawnButton::SubclassProc, 1);
        self->window_ = nullptr;
        self->region_.reset();
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}
