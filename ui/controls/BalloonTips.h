#pragma once

#include <windows.h>

#include "platform/win32/UniqueHandle.h"

// A balloon tooltip window owned by a dialog, with a title and the
// information icon, that explains controls while the mouse rests on them.
// Texts are shown as given (no ampersand processing) and wrap at the
// maximum width.
class BalloonTips {
public:
    struct Timing {
        int initialMs;
        int shownMs;
        int reshowMs;
    };

    bool Create(HWND owner, const wchar_t* title, Timing timing, int maximumWidth);
    // Shows `text` over `control`; the text must outlive the tooltip.
    bool Add(HWND control, const wchar_t* text);
    HWND hwnd() const { return window_.get(); }

private:
    HWND owner_ = nullptr;
    UniqueWindow window_;
};
