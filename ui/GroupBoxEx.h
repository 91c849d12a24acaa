#pragma once

#include <windows.h>

#include "platform/win32/UniqueHandle.h"

// A framed panel with a painted dark-blue title bar, drawn from six bitmap
// pieces over a white body. Attaches to the group-box frame of a template.
class GroupBoxEx {
public:
    static constexpr COLORREF kBorderColour = RGB(47, 67, 115);

    // Loads the six pieces from the program's resources.
    GroupBoxEx();
    GroupBoxEx(const GroupBoxEx&) = delete;
    GroupBoxEx& operator=(const GroupBoxEx&) = delete;
    ~GroupBoxEx();

    bool Attach(HWND dialog, int controlId);
    void Detach();
    HWND hwnd() const { return window_; }
    // True when all six pieces loaded.
    bool HasPieces() const;

    // Paints the frame and its title into `dc` for a client area of `size`.
    void PaintContent(HDC dc, SIZE size) const;

private:
    enum Piece { TopLeft, TopRight, TitleMiddle, BottomLeft, BottomRight, BottomMiddle, PieceCount };

    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR refData);

    HWND window_ = nullptr;
    UniqueGdi<HBRUSH> bodyBrush_;
    UniqueGdi<HPEN> borderPen_;
    UniqueGdi<HBITMAP> pieces_[PieceCount];
};
