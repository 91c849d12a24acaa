#include "ui/popup/MatchListWindow.h"

#include "ArtworkIds.h"
#include "platform/GuardedCall.h"
#include "ui/DialogBase.h"
#include "ui/controls/BufferedPaint.h"
#include "ui/controls/WindowClass.h"
#include "ui/popup/PopupBackground.h"

#include <algorithm>

namespace {

// Sizes at 96 pixels per inch.
constexpr int kFontPoints = 10;
constexpr int kPadding = 4;
constexpr int kRowGap = 6;
constexpr int kIconSize = IconSet::kImageSize;
constexpr int kAnchorGap = 4;
constexpr int kMinimumWidth = 240;
constexpr UINT_PTR kRepaintTimer = 1;
constexpr UINT kRepaintDelayMs = 15;

constexpr COLORREF kNameColour = RGB(0, 0, 160);
constexpr COLORREF kMatchedColour = RGB(0, 0, 255);
constexpr COLORREF kShortcutColour = RGB(96, 112, 200);
constexpr COLORREF kBandColour = RGB(200, 216, 250);
constexpr COLORREF kBandEdge = RGB(30, 30, 255);

bool SameRows(const std::vector<MatchRow>& a, const std::vector<MatchRow>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const MatchRow& x, const MatchRow& y) {
        return x.name == y.name && x.shortcut == y.shortcut && x.nameLetters == y.nameLetters &&
               x.shortcutLetters == y.shortcutLetters && x.iconIndex == y.iconIndex && x.iconFile == y.iconFile;
    });
}

} // namespace

MatchListWindow::~MatchListWindow() = default;

std::wstring MatchListWindow::RowsText(const std::vector<MatchRow>& rows, std::size_t highlighted)
{
    std::wstring text;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0)
            text += L'\n';
        text += i == highlighted ? L"1\t" : L"0\t";
        text += rows[i].name + L'\t' + (rows[i].kind == MatchKind::Program ? kProgramWord : rows[i].shortcut);
    }
    return text;
}

bool MatchListWindow::EnsureWindow()
{
    if (window_ && IsWindow(window_.get()))
        return true;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterWindowClassOnce(instance, kClassName, &MatchListWindow::WindowProc))
        return false;
    if (!icons_.get())
        icons_.Build(IDB_QV_ICON_SET, 20);
    if (!measureDc_)
        measureDc_.reset(CreateCompatibleDC(nullptr));
    MakeFonts();
    HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName, L"", WS_POPUP, 0, 0,
                                  0, 0, nullptr, nullptr, instance, this);
    window_.reset(window);
    shown_ = false;
    return window != nullptr;
}

void MatchListWindow::MakeFonts()
{
    {
        ScopedWindowDc screen(nullptr);
        dpi_ = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    }
    if (dpi_ <= 0)
        dpi_ = 96;
    const int height = -MulDiv(kFontPoints, dpi_, 72);
    const auto make = [height](int weight) {
        return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Trebuchet MS");
    };
    font_.reset(make(FW_NORMAL));
    boldFont_.reset(make(FW_BOLD));
    textHeight_ = -height;
    if (measureDc_ && font_) {
        ScopedSelectObject select(measureDc_.get(), font_.get());
        TEXTMETRICW metrics{};
        if (GetTextMetricsW(measureDc_.get(), &metrics))
            textHeight_ = metrics.tmHeight;
    }
}

SIZE MatchListWindow::ListSize() const
{
    const int rowHeight = std::max(textHeight_, Scaled(kIconSize)) + Scaled(kRowGap);
    int width = Scaled(kMinimumWidth);
    if (HWND anchor = anchor_.hwnd()) {
        RECT popup{};
        if (GetWindowRect(anchor, &popup))
            width = std::max(width, static_cast<int>(popup.right - popup.left));
    }
    return SIZE{width, static_cast<int>(rows_.size()) * rowHeight + 2 * Scaled(kPadding)};
}

void MatchListWindow::Place(SIZE size)
{
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT popup{work.right, work.bottom, work.right, work.bottom};
    if (HWND anchor = anchor_.hwnd())
        GetWindowRect(anchor, &popup);
    const int gap = Scaled(kAnchorGap);
    int x = std::max(static_cast<int>(work.left), std::min(static_cast<int>(popup.right) - static_cast<int>(size.cx),
                                                           static_cast<int>(work.right) - static_cast<int>(size.cx)));
    // Above the popup, which sits at the bottom of the work area; below it
    // where the top has no room.
    int y = popup.top - gap - size.cy;
    if (y < work.top)
        y = popup.bottom + gap;
    SetWindowPos(window_.get(), HWND_TOPMOST, x, y, size.cx, size.cy, SWP_NOACTIVATE);
}

void MatchListWindow::ShowRows(const std::vector<MatchRow>& rows, std::size_t highlighted)
{
    if (rows.empty()) {
        HideRows();
        return;
    }
    const bool sameRows = shown_ && SameRows(rows, rows_);
    if (sameRows && highlighted == highlighted_)
        return;
    if (!EnsureWindow())
        return;
    const bool resize = !shown_ || rows.size() != rows_.size();
    rows_ = rows;
    highlighted_ = std::min(highlighted, rows.size() - 1);
    // Answered from here (WM_GETTEXT): setting a top-level window's text
    // costs a trip through Wine's server and the display for every key.
    text_ = RowsText(rows_, highlighted_);
    if (resize)
        Place(ListSize());
    if (!shown_) {
        // Showing the window paints it.
        ShowWindow(window_.get(), SW_SHOWNOACTIVATE);
        shown_ = true;
        return;
    }
    // Painted once the keys pause: while they come fast, each new key
    // restarts the wait, so a burst of keys is never held up by paints of
    // rows that are already out of date.
    SetTimer(window_.get(), kRepaintTimer, kRepaintDelayMs, nullptr);
}

void MatchListWindow::HideRows()
{
    if (!shown_)
        return;
    shown_ = false;
    rows_.clear();
    if (window_)
        ShowWindow(window_.get(), SW_HIDE);
}

HICON MatchListWindow::IconOf(int index)
{
    if (index < 0)
        return nullptr;
    auto found = iconCache_.find(index);
    if (found == iconCache_.end())
        found = iconCache_.emplace(index, UniqueIcon(icons_.MakeIcon(index))).first;
    return found->second.get();
}

int MatchListWindow::PaintMarked(HDC dc, const std::wstring& text, const std::vector<std::size_t>& marked, int x, int y,
                                 int right) const
{
    std::size_t next = 0; // into marked
    std::size_t at = 0;
    while (at < text.size() && x < right) {
        const bool bold = next < marked.size() && marked[next] == at;
        std::size_t end = at + 1;
        if (bold) {
            ++next;
            while (end < text.size() && next < marked.size() && marked[next] == end) {
                ++next;
                ++end;
            }
        } else {
            end = next < marked.size() ? marked[next] : text.size();
        }
        ScopedSelectObject font(dc, bold ? boldFont_.get() : font_.get());
        SetTextColor(dc, bold ? kMatchedColour : kNameColour);
        const int length = static_cast<int>(end - at);
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str() + at, length, &extent);
        RECT clip{x, y, right, y + textHeight_};
        ExtTextOutW(dc, x, y, ETO_CLIPPED, &clip, text.c_str() + at, static_cast<UINT>(length), nullptr);
        x += extent.cx;
        at = end;
    }
    return x;
}

void MatchListWindow::PaintRow(HDC dc, const MatchRow& row, const RECT& box, bool highlighted)
{
    if (highlighted) {
        UniqueGdi<HBRUSH> band(CreateSolidBrush(kBandColour));
        UniqueGdi<HBRUSH> edge(CreateSolidBrush(kBandEdge));
        FillRect(dc, &box, band.get());
        FrameRect(dc, &box, edge.get());
    }
    const int padding = Scaled(kPadding);
    const int iconSize = Scaled(kIconSize);
    const int height = box.bottom - box.top;
    if (row.kind != MatchKind::Command) {
        if (otherIcons_)
            otherIcons_(row, dc, box.left + padding, box.top + (height - iconSize) / 2, iconSize);
    } else if (HICON icon = IconOf(row.iconIndex)) {
        DrawIconEx(dc, box.left + padding, box.top + (height - iconSize) / 2, icon, iconSize, iconSize, 0, nullptr,
                   DI_NORMAL);
    }
    const int textTop = box.top + (height - textHeight_) / 2;
    // The shortcut on the right, its typed letters bold; the name takes what is left.
    int shortcutLeft = box.right - padding;
    const std::wstring& shortcut = row.kind == MatchKind::Program ? std::wstring(kProgramWord) : row.shortcut;
    if (!shortcut.empty()) {
        ScopedSelectObject font(dc, boldFont_.get());
        SIZE extent{};
        GetTextExtentPoint32W(dc, shortcut.c_str(), static_cast<int>(shortcut.size()), &extent);
        shortcutLeft = std::max(static_cast<int>(box.left) + padding, shortcutLeft - static_cast<int>(extent.cx));
        std::vector<std::size_t> typed;
        for (std::size_t i = 0; i < std::min(row.shortcutLetters, shortcut.size()); ++i)
            typed.push_back(i);
        SetTextColor(dc, kShortcutColour);
        const int x = shortcutLeft;
        PaintMarked(dc, shortcut, typed, x, textTop, box.right - padding);
    }
    const int nameLeft = box.left + 2 * padding + iconSize;
    PaintMarked(dc, row.name, row.nameLetters, nameLeft, textTop, shortcutLeft - padding);
}

void MatchListWindow::Paint(HDC dc, SIZE size)
{
    PaintPopupBackground(dc, size);
    if (rows_.empty())
        return;
    SetBkMode(dc, TRANSPARENT);
    const int padding = Scaled(kPadding);
    const int rowHeight = (size.cy - 2 * padding) / static_cast<int>(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const int top = padding + static_cast<int>(i) * rowHeight;
        PaintRow(dc, rows_[i], RECT{padding, top, size.cx - padding, top + rowHeight}, i == highlighted_);
    }
}

LRESULT MatchListWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = window_.get();
    switch (message) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(text_.size());
    case WM_GETTEXT: {
        const std::size_t room = static_cast<std::size_t>(wParam);
        auto* buffer = reinterpret_cast<wchar_t*>(lParam);
        if (room == 0 || !buffer)
            return 0;
        const std::size_t copied = std::min(room - 1, text_.size());
        std::copy_n(text_.c_str(), copied, buffer);
        buffer[copied] = L'\0';
        return static_cast<LRESULT>(copied);
    }
    case WM_TIMER:
        if (wParam != kRepaintTimer)
            return DefWindowProcW(window, message, wParam, lParam);
        KillTimer(window, kRepaintTimer);
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window, &paint);
        BufferedPaint::Paint(window, dc, [this](HDC target, SIZE size) { Paint(target, size); });
        EndPaint(window, &paint);
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client{};
        GetClientRect(window, &client);
        Paint(reinterpret_cast<HDC>(wParam), SIZE{client.right, client.bottom});
        return 0;
    }
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK MatchListWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<MatchListWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || self->window_.get() != window)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_.release();
        self->shown_ = false;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return GuardedCall("MatchListWindow", LRESULT{0}, [&] { return self->HandleMessage(message, wParam, lParam); });
}
