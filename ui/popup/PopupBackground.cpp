#include "ui/popup/PopupBackground.h"

#include "ui/controls/HorizontalGradient.h"

#include <gdiplus.h>

namespace {

// Alpha 230, red 30, green 30, blue 255.
constexpr Gdiplus::ARGB kOutlineColour = (230u << 24) | (30u << 16) | (30u << 8) | 255u;

} // namespace

void PaintPopupBackground(HDC dc, SIZE size)
{
    const int width = size.cx;
    const int height = size.cy;
    FillHorizontalGradient(dc, RECT{0, 0, width, height}, RGB(123, 164, 224), RGB(238, 238, 238));

    using namespace Gdiplus;
    using namespace Gdiplus::DllExports;
    GpGraphics* graphics = nullptr;
    if (GdipCreateFromHDC(dc, &graphics) == Ok) {
        GdipSetSmoothingMode(graphics, SmoothingModeAntiAlias);
        GpPen* pen = nullptr;
        if (GdipCreatePen1(kOutlineColour, 4.0f, UnitWorld, &pen) == Ok) {
            GdipDrawRectangleI(graphics, pen, 0, 0, width, height);
            GdipDeletePen(pen);
        }
        GdipDeleteGraphics(graphics);
    }
}
