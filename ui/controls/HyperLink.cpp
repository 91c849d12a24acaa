#include "ui/controls/HyperLink.h"
#include "ui/controls/GuardedSubclass.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>

HyperLink::HyperLink()
{
    ReadLinkColours();
}

HyperLink::~HyperLink()
{
    Detach();
}

bool HyperLink::ParseColour(const std::wstring& text, COLORREF* colour)
{
    int parts[3];
    const wchar_t* p = text.c_str();
    for (int i = 0; i < 3; ++i) {
        while (*p == L' ')
            ++p;
        if (*p < L'0' || *p > L'9')
            return false;
        wchar_t* end = nullptr;
        const long value = std::wcstol(p, &end, 10);
        if (end == p || value < 0 || value > 255)
            return false;
        parts[i] = static_cast<int>(value);
        p = end;
        while (*p == L' ')
            ++p;
        if (i < 2) {
            if (*p != L',')
                return false;
            ++p;
        }
    }
    if (*p != L'\0')
        return false;
    *colour = RGB(parts[0], parts[1], parts[2]);
    return true;
}

void HyperLink::ReadLinkColours()
{
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\Settings", 0, KEY_READ, &raw) !=
        ERROR_SUCCESS)
        return;
    UniqueRegKey key(raw);
    auto read = [&](const wchar_t* name, COLORREF* colour) {
        wchar_t buffer[64] = L"";
        DWORD type = 0;
        DWORD size = sizeof(buffer) - sizeof(wchar_t);
        if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ) {
            buffer[size / sizeof(wchar_t)] = L'\0';
            ParseColour(buffer, colour);
        }
    };
    read(L"Anchor Color", &linkColour_);
    read(L"Anchor Color Visited", &visitedColour_);
}

bool HyperLink::Attach(HWND dialog, int controlId, const std::wstring& target)
{
    Detach();
    HWND window = GetDlgItem(dialog, controlId);
    if (!window || !SetWindowSubclass(window, &HyperLink::SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    window_ = window;
    target_ = target;
    SetWindowLongPtrW(window_, GWL_STYLE, GetWindowLongPtrW(window_, GWL_STYLE) | SS_NOTIFY | WS_TABSTOP);

    HFONT font = reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0));
    LOGFONTW logFont{};
    if (GetObjectW(font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont)) {
        logFont.lfUnderline = TRUE;
        underlined_.reset(CreateFontIndirectW(&logFont));
        SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(underlined_.get()), FALSE);
    }

    tooltip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                                   GetModuleHandleW(nullptr), nullptr));
    if (tooltip_) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = dialog;
        tool.uId = reinterpret_cast<UINT_PTR>(window_);
        tool.lpszText = const_cast<wchar_t*>(target_.c_str());
        SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    InvalidateRect(window_, nullptr, TRUE);
    return true;
}

void HyperLink::Detach()
{
    if (window_ && IsWindow(window_)) {
        RemoveWindowSubclass(window_, &HyperLink::SubclassProc, 1);
        // The label must not keep a font that goes with us.
        SendMessageW(window_, WM_SETFONT, 0, FALSE);
    }
    // The tooltip is owned by the dialog and may have gone with it already.
    if (tooltip_ && !IsWindow(tooltip_.get()))
        tooltip_.release();
    tooltip_.reset();
    underlined_.reset();
    window_ = nullptr;
}

HBRUSH HyperLink::OnColour(HDC dc, HBRUSH background) const
{
    SetTextColor(dc, TextColour());
    SetBkMode(dc, TRANSPARENT);
    return background;
}

bool HyperLink::Open()
{
    const HINSTANCE result =
        ShellExecuteW(GetParent(window_), L"open", target_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) <= 32)
        return false;
    visited_ = true;
    if (window_)
        InvalidateRect(window_, nullptr, TRUE);
    return true;
}

bool HyperLink::OverText(POINT client) const
{
    const int length = GetWindowTextLengthW(window_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window_, &text[0], length + 1)));
    ScopedWindowDc dc(window_);
    if (!dc.get())
        return false;
    ScopedSelectObject font(dc.get(),
                            underlined_ ? static_cast<HGDIOBJ>(underlined_.get()) : GetStockObject(DEFAULT_GUI_FONT));
    RECT bounds{0, 0, 0, 0};
    GetClientRect(window_, &bounds);
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &bounds, DT_CALCRECT | DT_WORDBREAK);
    return PtInRect(&bounds, client) != FALSE;
}

LRESULT CALLBACK HyperLink::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR refData)
{
    return GuardedSubclassCall("the link's window procedure", &HyperLink::HandleSubclassMessage, window, message,
                               wParam, lParam, refData);
}

LRESULT HyperLink::HandleSubclassMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR refData)
{
    auto* self = reinterpret_cast<HyperLink*>(refData);
    switch (message) {
    case WM_SETCURSOR: {
        POINT cursor;
        GetCursorPos(&cursor);
        ScreenToClient(window, &cursor);
        if (self->OverText(cursor)) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONUP: {
        POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (self->OverText(at))
            self->Open();
        break;
    }
    case WM_GETDLGCODE: {
        // Enter and Space open the link instead of pressing the default button.
        const auto* pending = reinterpret_cast<const MSG*>(lParam);
        if (pending && pending->message == WM_KEYDOWN && (pending->wParam == VK_RETURN || pending->wParam == VK_SPACE))
            return DLGC_WANTMESSAGE;
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_SPACE) {
            self->Open();
            return 0;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(window, nullptr, TRUE); break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, &HyperLink::SubclassProc, 1);
        self->window_ = nullptr;
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}
