#include "ui/popup/DlgInfo.h"

#include "MainWindowIds.h"
#include "ui/controls/BufferedPaint.h"
#include "ui/popup/PopupBackground.h"

#include <algorithm>

namespace {

constexpr UINT_PTR kHideTimer = 1;
constexpr UINT kHideFrameMs = 15;
constexpr int kMarginPx = 10;

} // namespace

DlgInfo::DlgInfo()
    : DialogBase(IDD_INFO),
      backgroundColour_(GetSysColor(COLOR_INFOBK)),
      backgroundBrush_(CreateSolidBrush(backgroundColour_)),
      measureDc_(CreateCompatibleDC(nullptr))
{
}

DlgInfo::~DlgInfo() = default;

bool DlgInfo::Exists() const
{
    return hwnd() && IsWindow(hwnd()) && !hiding_;
}

void DlgInfo::Show()
{
    line_.Clear();
    // A window still collapsing from the last line goes at once.
    if (hiding_)
        FinishHide();
    if (!hwnd() || !IsWindow(hwnd())) {
        if (!CreateModeless(nullptr))
            return;
    }
    ShowCompletion(L"", L"");
    SetDlgItemTextW(hwnd(), IDC_INFO_TEXT, L"");

    RECT workArea{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    RECT client{};
    GetClientRect(hwnd(), &client);
    fullSize_ = {client.right - client.left, client.bottom - client.top};
    MoveWindow(hwnd(), workArea.right - kMarginPx - fullSize_.cx, workArea.bottom - kMarginPx - fullSize_.cy,
               fullSize_.cx, fullSize_.cy, FALSE);
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
}

void DlgInfo::Hide()
{
    if (!hwnd() || hiding_)
        return;
    if (!IsWindow(hwnd()) || !SetTimer(hwnd(), kHideTimer, kHideFrameMs, nullptr)) {
        FinishHide();
        return;
    }
    hiding_ = true;
    hideStarted_ = GetTickCount64();
}

// The window collapses towards its centre, one timer tick at a time, so the
// user-interface thread stays free for the keys that follow.
void DlgInfo::StepHide()
{
    const ULONGLONG elapsed = GetTickCount64() - hideStarted_;
    if (elapsed >= kHideMs) {
        FinishHide();
        return;
    }
    const double left = 1.0 - static_cast<double>(elapsed) / kHideMs;
    const int width = static_cast<int>(fullSize_.cx * left);
    const int height = static_cast<int>(fullSize_.cy * left);
    const int x = (fullSize_.cx - width) / 2;
    const int y = (fullSize_.cy - height) / 2;
    // The window owns the region from here on.
    SetWindowRgn(hwnd(), CreateRectRgn(x, y, x + width, y + height), TRUE);
}

void DlgInfo::FinishHide()
{
    hiding_ = false;
    completion_ = nullptr;
    if (hwnd()) {
        KillTimer(hwnd(), kHideTimer);
        DestroyWindow(hwnd());
    }
}

void DlgInfo::TypeKey(unsigned virtualKey)
{
    if (Exists())
        SendMessageW(hwnd(), WM_INFOCHAR, virtualKey, 0);
}

void DlgInfo::OnInfoChar(unsigned virtualKey)
{
    if (line_.TypeKey(virtualKey, keyboard_))
        SetDlgItemTextW(hwnd(), IDC_INFO_TEXT, line_.Text().c_str());
}

void DlgInfo::SetText(const std::wstring& text)
{
    if (Exists() && line_.Assign(text))
        SetDlgItemTextW(hwnd(), IDC_INFO_TEXT, line_.Text().c_str());
}

// The template has one text; the suggestion is a second one beside it, with
// the same font, moved to wherever the typed text ends.
void DlgInfo::CreateCompletionText()
{
    HWND typed = GetDlgItem(hwnd(), IDC_INFO_TEXT);
    // The typed line is shown as typed: an "&" is a character, not a mnemonic.
    SetWindowLongPtrW(typed, GWL_STYLE, GetWindowLongPtrW(typed, GWL_STYLE) | SS_NOPREFIX);
    GetWindowRect(typed, &textBox_);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&textBox_), 2);
    textFont_ = reinterpret_cast<HFONT>(SendMessageW(typed, WM_GETFONT, 0, 0));
    completion_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX,
                                  textBox_.right, textBox_.top, 0, textBox_.bottom - textBox_.top, hwnd(),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_INFO_COMPLETION)),
                                  GetModuleHandleW(nullptr), nullptr);
    if (completion_)
        SendMessageW(completion_, WM_SETFONT, reinterpret_cast<WPARAM>(textFont_), FALSE);
    completionShown_.clear();
    completionLeft_ = textBox_.right;
}

// Every call here is a trip through Wine's server and display driver, and the
// next key waits for them: the text is measured in a memory context, and the
// control is moved or given its text only when that changed.
void DlgInfo::ShowCompletion(const std::wstring& rest, const std::wstring& name)
{
    if (!Exists() || !completion_)
        return;
    std::wstring shown = rest;
    int left = completionLeft_;
    if (!rest.empty() && measureDc_) {
        ScopedSelectObject font(measureDc_.get(), textFont_);
        const auto width = [this](const std::wstring& text) {
            SIZE size{};
            GetTextExtentPoint32W(measureDc_.get(), text.c_str(), static_cast<int>(text.size()), &size);
            return static_cast<int>(size.cx);
        };
        const int right = textBox_.right;
        left = std::min(static_cast<int>(textBox_.left) + width(line_.Text()), right);
        const std::wstring withName = rest + L"  " + name;
        if (!name.empty() && left + width(withName) <= right)
            shown = withName;
    }
    if (left != completionLeft_) {
        SetWindowPos(completion_, nullptr, left, textBox_.top, textBox_.right - left, textBox_.bottom - textBox_.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        completionLeft_ = left;
    }
    if (shown != completionShown_) {
        SetWindowTextW(completion_, shown.c_str());
        completionShown_ = shown;
    }
}

bool DlgInfo::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: CreateCompletionText(); return false;
    case WM_INFOCHAR:
        OnInfoChar(static_cast<unsigned>(wParam));
        SetResult(1);
        return true;
    case WM_ERASEBKGND:
        BufferedPaint::Paint(hwnd(), reinterpret_cast<HDC>(wParam),
                             [](HDC dc, SIZE size) { PaintPopupBackground(dc, size); });
        SetResult(1);
        return true;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        const bool completion = completion_ && reinterpret_cast<HWND>(lParam) == completion_;
        SetTextColor(dc, completion ? completionColour_ : textColour_);
        SetBkMode(dc, TRANSPARENT);
        SetResult(reinterpret_cast<LRESULT>(backgroundBrush_.get()));
        return true;
    }
    case WM_TIMER:
        if (wParam == kHideTimer) {
            StepHide();
            return true;
        }
        return false;
    default: return false;
    }
}
