#pragma once

#include <windows.h>

#include <memory>

#include "platform/win32/UniqueHandle.h"
#include "ui/controls/ThemeHelper.h"

// A flat push button with an icon left of its text (or centred without text)
// that lights up under the mouse. Attaches to a push button of a template and
// draws it on the draw request its dialog reflects back (WM_DRAWITEM + 0x2000).
class COwnerDrawnButton {
public:
    COwnerDrawnButton();
    COwnerDrawnButton(const COwnerDrawnButton&) = delete;
    COwnerDrawnButton& operator=(const COwnerDrawnButton&) = delete;
    ~COwnerDrawnButton();

    // Turns the push button `controlId` of `dialog` into an owner-drawn one.
    bool Attach(HWND dialog, int controlId);
    void Detach();
    HWND hwnd() const { return window_; }

    // Takes ownership of both icons: `first` shows when hot or pressed,
    // `second` in the normal state (`first` when null). An icon whose size
    // cannot be read clears both.
    void SetIcons(HICON first, HICON second = nullptr);
    // SetIcons with the 16 x 16 icon `resourceId` of the program's resources.
    void SetIconResource(int resourceId);
    void SetRounded(bool rounded) { rounded_ = rounded; }
    bool rounded() const { return rounded_; }

    bool hot() const { return hot_; }
    bool pressed() const { return pressed_; }
    bool disabled() const { return disabled_; }
    bool hasIcon() const { return static_cast<bool>(first_.icon); }
    bool hasRegion() const { return static_cast<bool>(region_); }
    const ThemeHelper& theme() const { return *theme_; }

    // Draws one draw request; also what the reflected WM_DRAWITEM runs.
    void DrawItem(const DRAWITEMSTRUCT& item);
    // Uses the classic drawing even where a visual style is active.
    void SetClassicOnly(bool classicOnly);

private:
    struct SizedIcon {
        UniqueIcon icon;
        int width = 0;
        int height = 0;
    };

    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR refData);
    // The procedure itself; SubclassProc guards it.
    static LRESULT HandleSubclassMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR refData);
    void OnMouseMove(WPARAM keys);
    void EndHot();
    void DrawBackground(HDC dc, const RECT& rect);
    static bool ReadIconSize(HICON icon, int* width, int* height);

    HWND window_ = nullptr;
    bool pressed_ = false;
    bool disabled_ = false;
    bool hot_ = false;
    bool rounded_ = false;
    bool classicOnly_ = false;
    SizedIcon first_;
    SizedIcon second_;
    COLORREF hotBackground_;
    COLORREF hotText_;
    COLORREF normalBackground_;
    COLORREF normalText_;
    UniqueGdi<HRGN> region_;
    std::unique_ptr<ThemeHelper> theme_;
};
