#include "ui/controls/BalloonTips.h"

#include <commctrl.h>

bool BalloonTips::Create(HWND owner, const wchar_t* title, Timing timing, int maximumWidth)
{
    owner_ = owner;
    window_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr), nullptr));
    if (!window_)
        return false;
    SendMessageW(hwnd(), TTM_SETTITLEW, TTI_INFO, reinterpret_cast<LPARAM>(title));
    SendMessageW(hwnd(), TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(timing.initialMs, 0));
    SendMessageW(hwnd(), TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(timing.shownMs, 0));
    SendMessageW(hwnd(), TTM_SETDELAYTIME, TTDT_RESHOW, MAKELPARAM(timing.reshowMs, 0));
    SendMessageW(hwnd(), TTM_SETMAXTIPWIDTH, 0, maximumWidth);
    return true;
}

bool BalloonTips::Add(HWND control, const wchar_t* text)
{
    if (!window_ || !control)
        return false;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text);
    return SendMessageW(hwnd(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}
