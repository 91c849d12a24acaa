#pragma once

#include <windows.h>

#include "platform/win32/UniqueHandle.h"
#include "ui/controls/SelfPaintedControl.h"

// A framed panel with a painted dark-blue title bar, drawn from six bitmap
// pieces over a white body. Attaches to the group-box frame of a template.
// It paints its whole area, so once attached it sits below the controls it
// frames and leaves out what they and its own children cover.
class GroupBoxEx : public SelfPaintedControl {
public:
    static constexpr COLORREF kBorderColour = RGB(47, 67, 115);

    // Loads the six pieces from the program's resources.
    GroupBoxEx();
    // True when all six pieces loaded.
    bool HasPieces() const;

    // Paints the frame and its title into `dc` for a client area of `size`.
    void PaintContent(HDC dc, SIZE size) const override;

protected:
    void OnAttached() override;

private:
    enum Piece { TopLeft, TopRight, TitleMiddle, BottomLeft, BottomRight, BottomMiddle, PieceCount };

    UniqueGdi<HBRUSH> bodyBrush_;
    UniqueGdi<HPEN> borderPen_;
    UniqueGdi<HBITMAP> pieces_[PieceCount];
};
