#include "ui/controls/HorizontalGradient.h"

void FillHorizontalGradient(HDC dc, const RECT& rect, COLORREF left, COLORREF right)
{
    TRIVERTEX vertices[2] = {};
    vertices[0].x = rect.left;
    vertices[0].y = rect.top;
    vertices[0].Red = static_cast<COLOR16>(GetRValue(left) << 8);
    vertices[0].Green = static_cast<COLOR16>(GetGValue(left) << 8);
    vertices[0].Blue = static_cast<COLOR16>(GetBValue(left) << 8);
    vertices[1].x = rect.right;
    vertices[1].y = rect.bottom;
    vertices[1].Red = static_cast<COLOR16>(GetRValue(right) << 8);
    vertices[1].Green = static_cast<COLOR16>(GetGValue(right) << 8);
    vertices[1].Blue = static_cast<COLOR16>(GetBValue(right) << 8);
    GRADIENT_RECT gradient{0, 1};
    GradientFill(dc, vertices, 2, &gradient, 1, GRADIENT_FILL_RECT_H);
}
