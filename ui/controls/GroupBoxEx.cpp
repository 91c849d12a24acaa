#include "ui/controls/GroupBoxEx.h"

#include <string>

#include "ArtworkIds.h"

namespace {

constexpr int kTopWidth = 14;
constexpr int kTopHeight = 31;
constexpr int kBottomWidth = 10;
constexpr int kBottomHeight = 14;

} // namespace

GroupBoxEx::GroupBoxEx()
    : bodyBrush_(CreateSolidBrush(RGB(255, 255, 255))),
      borderPen_(CreatePen(PS_SOLID, 1, kBorderColour))
{
    static const int ids[PieceCount] = {IDB_QV_GROUPBOX_TOP_LEFT,     IDB_QV_GROUPBOX_TOP_RIGHT,
                                        IDB_QV_GROUPBOX_TITLE_MIDDLE, IDB_QV_GROUPBOX_BOTTOM_LEFT,
                                        IDB_QV_GROUPBOX_BOTTOM_RIGHT, IDB_QV_GROUPBOX_BOTTOM_MIDDLE};
    HINSTANCE instance = GetModuleHandleW(nullptr);
    for (int i = 0; i < PieceCount; ++i)
        pieces_[i].reset(static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(ids[i]), IMAGE_BITMAP, 0, 0, 0)));
}

void GroupBoxEx::OnAttached()
{
    // A template lists a frame before what it frames, which puts it on top.
    const LONG_PTR style = GetWindowLongPtrW(hwnd(), GWL_STYLE);
    SetWindowLongPtrW(hwnd(), GWL_STYLE, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    SetWindowPos(hwnd(), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
}

bool GroupBoxEx::HasPieces() const
{
    for (const auto& piece : pieces_) {
        if (!piece)
            return false;
    }
    return true;
}

void GroupBoxEx::PaintContent(HDC dc, SIZE size) const
{
    const int width = size.cx;
    const int height = size.cy;
    RECT all{0, 0, width, height};
    FillRect(dc, &all, bodyBrush_.get());

    UniqueMemoryDc source(CreateCompatibleDC(dc));
    if (source) {
        auto draw = [&](Piece piece, int x, int y, int w, int h, int sourceWidth, int sourceHeight) {
            if (!pieces_[piece] || w <= 0)
                return;
            ScopedSelectObject selected(source.get(), pieces_[piece].get());
            if (w == sourceWidth && h == sourceHeight)
                BitBlt(dc, x, y, w, h, source.get(), 0, 0, SRCCOPY);
            else
                StretchBlt(dc, x, y, w, h, source.get(), 0, 0, sourceWidth, sourceHeight, SRCCOPY);
        };
        draw(TopLeft, 0, 0, kTopWidth, kTopHeight, kTopWidth, kTopHeight);
        draw(TopRight, width - kTopWidth, 0, kTopWidth, kTopHeight, kTopWidth, kTopHeight);
        draw(TitleMiddle, kTopWidth, 0, width - 2 * kTopWidth, kTopHeight, 1, kTopHeight);
        draw(BottomLeft, 0, height - kBottomHeight, kBottomWidth, kBottomHeight, kBottomWidth, kBottomHeight);
        draw(BottomRight, width - kBottomWidth, height - kBottomHeight, kBottomWidth, kBottomHeight, kBottomWidth,
             kBottomHeight);
        draw(BottomMiddle, kBottomWidth, height - kBottomHeight, width - 2 * kBottomWidth, kBottomHeight, 1,
             kBottomHeight);
    }
    {
        ScopedSelectObject pen(dc, borderPen_.get());
        MoveToEx(dc, 0, 14, nullptr);
        LineTo(dc, 0, height - 14);
        MoveToEx(dc, width - 1, 14, nullptr);
        LineTo(dc, width - 1, height - 14);
    }

    if (!hwnd())
        return;
    const int length = GetWindowTextLengthW(hwnd());
    if (length <= 0)
        return;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd(), &text[0], length + 1)));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, RGB(255, 255, 255));
    RECT title{16, 2, width - 16, 21};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &title, DT_LEFT | DT_TOP);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}
