#include "ui/main/MainWindowLayout.h"

#include <commctrl.h>

#include "MainWindowIds.h"

namespace {

// The splitter's place in the commands frame: in from the frame's left,
// right and bottom edges, and below its title bar.
constexpr int kSplitterInset = 15;
constexpr int kSplitterTop = 25;
constexpr int kMinimumPaneWidth = 35;

} // namespace

void MainWindowLayout::CreateParts(HWND window)
{
    window_ = window;
    HWND frame = GetDlgItem(window, IDC_COMMANDS_FRAME);
    RECT client{};
    GetClientRect(frame, &client);
    const RECT place{kSplitterInset, kSplitterTop, client.right - kSplitterInset, client.bottom - kSplitterInset};
    if (splitter_.Create(frame, place, window)) {
        splitter_.SetPanes(GetDlgItem(window, IDC_GROUP_TREE), GetDlgItem(window, IDC_COMMAND_LIST));
        splitter_.SetMinimumPaneWidth(kMinimumPaneWidth);
        splitter_.SetDivider(static_cast<int>((client.right - kSplitterInset) * 0.25));
    }
    statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | SBARS_TOOLTIPS,
                                 0, 0, 0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUS_BAR)),
                                 GetModuleHandleW(nullptr), nullptr);
}

void MainWindowLayout::Anchor(int menuHeight)
{
    // The window itself may be smaller already (a small screen).
    RECT designed{0, 0, IDD_PREFERENCES_WIDTH, IDD_PREFERENCES_HEIGHT};
    MapDialogRect(window_, &designed);
    const SIZE laidOutFor{designed.right, designed.bottom - menuHeight};
    using Rule = AnchoredResize::Rule;
    anchors_.Record(window_,
                    {
                        {IDC_COMMANDS_FRAME, Rule::Grow},
                        {IDC_PREFERENCES_FRAME, Rule::MoveDown},
                        {IDC_AUTO_START, Rule::MoveDown},
                        {IDC_ENABLE_ON_START, Rule::MoveDown},
                        {IDC_FIRST_KEY_LABEL, Rule::MoveDown},
                        {IDC_FIRST_KEY, Rule::MoveDown},
                        {IDC_SECOND_KEY_LABEL, Rule::MoveDown},
                        {IDC_SECOND_KEY, Rule::MoveDown},
                        {IDOK, Rule::MoveDownRight},
                    },
                    laidOutFor);
}

void MainWindowLayout::Fit(int width, int height)
{
    anchors_.Apply(width, height);
    FitSplitter();
    // The status bar places itself without drawing, over what was there before.
    if (statusBar_) {
        SendMessageW(statusBar_, WM_SIZE, 0, 0);
        InvalidateRect(statusBar_, nullptr, TRUE);
    }
}

void MainWindowLayout::FitSplitter()
{
    if (!splitter_.hwnd())
        return;
    RECT client{};
    GetClientRect(GetParent(splitter_.hwnd()), &client);
    MoveWindow(splitter_.hwnd(), kSplitterInset, kSplitterTop, client.right - 2 * kSplitterInset,
               client.bottom - kSplitterTop - kSplitterInset, TRUE);
}
