#include "ui/controls/HeaderCtrl.h"

#include "ui/controls/HorizontalGradient.h"
#include "ui/controls/WindowClass.h"

namespace {

constexpr int kDesignPixelsPerInch = 96;

// -(points x vertical pixels per inch / 72), rounded to the nearest integer.
HFONT MakeVerdana(int points, int weight, int pixelsPerInch)
{
    const int height = -MulDiv(points, pixelsPerInch, 72);
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_OUTLINE_PRECIS,
                       CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH, L"Verdana");
}

} // namespace

HeaderCtrl::HeaderCtrl(int pixelsPerInch) : pixelsPerInch_(pixelsPerInch > 0 ? pixelsPerInch : kDesignPixelsPerInch)
{
    RegisterWindowClass();
    titleFont_.reset(MakeVerdana(12, 500, pixelsPerInch_));
    subtitleFont_.reset(MakeVerdana(10, 400, pixelsPerInch_));
}

int HeaderCtrl::ScreenPixelsPerInch()
{
    ScopedWindowDc screen(nullptr);
    return screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : kDesignPixelsPerInch;
}

bool HeaderCtrl::RegisterWindowClass()
{
    return RegisterWindowClassOnce(GetModuleHandleW(nullptr), kClassName, DefWindowProcW,
                                   CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
}

void HeaderCtrl::SetTitle(const std::wstring& title, const std::wstring& subtitle)
{
    title_ = title;
    subtitle_ = subtitle;
    Repaint();
}

bool HeaderCtrl::SetIcon(int resourceId)
{
    HICON icon =
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId), IMAGE_ICON, 32, 32, 0));
    icon_.reset(icon);
    Repaint();
    return icon != nullptr;
}

void HeaderCtrl::PaintContent(HDC dc, SIZE size) const
{
    FillHorizontalGradient(dc, RECT{0, 0, size.cx, size.cy}, kStartColour, kEndColour);

    if (icon_)
        DrawIconEx(dc, 4, 4, icon_.get(), 0, 0, 0, nullptr, DI_NORMAL);

    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, RGB(0, 0, 0));
    const UINT format = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX;
    // The lines grow with their fonts; they start right of the icon, which
    // keeps its 32 pixels.
    const auto scaled = [this](int pixels) { return MulDiv(pixels, pixelsPerInch_, kDesignPixelsPerInch); };
    {
        ScopedSelectObject font(dc, titleFont_.get());
        RECT line{40, scaled(4), size.cx, scaled(24)};
        DrawTextW(dc, title_.c_str(), static_cast<int>(title_.size()), &line, format);
    }
    {
        ScopedSelectObject font(dc, subtitleFont_.get());
        RECT line{40, scaled(28), size.cx, scaled(48)};
        DrawTextW(dc, subtitle_.c_str(), static_cast<int>(subtitle_.size()), &line, format);
    }
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}
