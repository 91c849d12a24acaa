#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/UniqueHandle.h"
#include "ui/controls/SelfPaintedControl.h"

// The painted banner across the top of a dialog: a horizontal gradient, a
// 32 x 32 icon and two lines of text. The dialog template creates the window
// (class "HEADER_CTRL"); the object attaches to it and paints it.
class HeaderCtrl : public SelfPaintedControl {
public:
    static constexpr const wchar_t* kClassName = L"HEADER_CTRL";
    static constexpr COLORREF kStartColour = RGB(128, 167, 224);
    static constexpr COLORREF kEndColour = RGB(235, 236, 237);

    // Registers the window class when it does not exist yet, so construct the
    // object before the dialog whose template names the class. The fonts and
    // the lines they are drawn in follow the screen's pixels per inch (or the
    // given ones).
    explicit HeaderCtrl(int pixelsPerInch = ScreenPixelsPerInch());

    void SetTitle(const std::wstring& title, const std::wstring& subtitle);
    // Loads a 32 x 32 icon from the program's resources; the previous one goes.
    bool SetIcon(int resourceId);

    const std::wstring& title() const { return title_; }
    const std::wstring& subtitle() const { return subtitle_; }
    HICON icon() const { return icon_.get(); }

    // Draws the banner into `dc` as it appears in a client area of `size`.
    void PaintContent(HDC dc, SIZE size) const override;

    static bool RegisterWindowClass();
    static int ScreenPixelsPerInch();

private:
    std::wstring title_;
    std::wstring subtitle_;
    int pixelsPerInch_;
    UniqueIcon icon_;
    UniqueGdi<HFONT> titleFont_;
    UniqueGdi<HFONT> subtitleFont_;
};
