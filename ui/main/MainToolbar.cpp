#include "ui/main/MainToolbar.h"

#include "MainWindowIds.h"
#include "platform/WindowMessages.h"
#include "ui/controls/GuardedSubclass.h"

namespace {

struct ButtonInfo {
    int commandId; // 0 for a separator
    int image;
    const wchar_t* tooltip;
};

constexpr ButtonInfo kButtons[] = {
    {IDT_ADD_COMMAND, 0, L"Add a new entry..."},
    {IDT_EDIT_COMMAND, 1, L"Edit/view the selected entry"},
    {IDT_REMOVE_COMMANDS, 2, L"Remove the selected entry(ies)"},
    {0, 0, nullptr},
    {IDT_ADD_SCRIPT, 3, L"Add a new script..."},
    {0, 0, nullptr},
    {IDT_ADD_GROUP, 4, L"Add a new group..."},
    {IDT_EDIT_GROUP, 5, L"Edit/view the selected group"},
    {IDT_REMOVE_GROUP, 6, L"Remove the selected group(s)"},
};

constexpr int kButtonCount = static_cast<int>(sizeof(kButtons) / sizeof(kButtons[0]));

} // namespace

bool MainToolbar::Create(HWND window, HIMAGELIST actions, HFONT font)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    toolbar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                               WS_CHILD | TBSTYLE_FLAT | TBSTYLE_TRANSPARENT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS, 0, 0,
                               500, 50, window, nullptr, instance, nullptr);
    if (!toolbar_)
        return false;
    SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(actions));
    SendMessageW(toolbar_, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(actions));
    SendMessageW(toolbar_, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(actions));
    SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 16));
    SendMessageW(toolbar_, TB_SETBUTTONSIZE, 0, MAKELPARAM(16, 16));
    TBBUTTON buttons[kButtonCount] = {};
    for (int i = 0; i < kButtonCount; ++i) {
        const ButtonInfo& info = kButtons[i];
        buttons[i].iBitmap = info.commandId ? info.image : 0;
        buttons[i].idCommand = info.commandId;
        buttons[i].fsState = info.commandId ? TBSTATE_ENABLED : 0;
        buttons[i].fsStyle = info.commandId ? BTNS_BUTTON | BTNS_AUTOSIZE : BTNS_SEP;
        buttons[i].iString = -1;
    }
    SendMessageW(toolbar_, TB_ADDBUTTONSW, kButtonCount, reinterpret_cast<LPARAM>(buttons));

    // After every item, separators included, as wide as a button each.
    const int buttonWidth = LOWORD(SendMessageW(toolbar_, TB_GETBUTTONSIZE, 0, 0));
    searchBox_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                 WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | ES_WANTRETURN,
                                 buttonWidth * kButtonCount, 0, kSearchBoxWidth, kSearchBoxHeight, toolbar_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SEARCH_BOX)), instance, nullptr);
    if (searchBox_) {
        SendMessageW(searchBox_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SetWindowSubclass(searchBox_, &MainToolbar::SearchBoxProc, 1, 0);
    }
    Fit();
    ShowWindow(toolbar_, SW_SHOW);
    return searchBox_ != nullptr;
}

void MainToolbar::Fit() const
{
    if (toolbar_)
        SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
}

RECT MainToolbar::Bounds() const
{
    RECT rect{};
    if (!toolbar_)
        return rect;
    GetWindowRect(toolbar_, &rect);
    MapWindowPoints(nullptr, GetParent(toolbar_), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::wstring MainToolbar::SearchText() const
{
    if (!searchBox_)
        return std::wstring();
    const int length = GetWindowTextLengthW(searchBox_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(searchBox_, &text[0], length + 1)));
    return text;
}

const wchar_t* MainToolbar::TooltipText(UINT commandId)
{
    for (const ButtonInfo& info : kButtons) {
        if (info.commandId != 0 && static_cast<UINT>(info.commandId) == commandId)
            return info.tooltip;
    }
    return nullptr;
}

bool MainToolbar::OnNotify(NMHDR& header) const
{
    if (header.code != TTN_GETDISPINFOW)
        return false;
    auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
    const wchar_t* text = TooltipText(static_cast<UINT>(header.idFrom));
    if (!text)
        return false;
    info.lpszText = const_cast<wchar_t*>(text);
    info.hinst = nullptr;
    info.uFlags |= TTF_DI_SETITEM;
    return true;
}

LRESULT CALLBACK MainToolbar::SearchBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR refData)
{
    return GuardedSubclassCall("the search box's window procedure", &MainToolbar::HandleSearchBoxMessage, window,
                               message, wParam, lParam, refData);
}

LRESULT MainToolbar::HandleSearchBoxMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR)
{
    switch (message) {
    case WM_GETDLGCODE:
        // Enter belongs to the search box, not to the dialog's default button.
        if (lParam && reinterpret_cast<const MSG*>(lParam)->wParam == VK_RETURN)
            return DefSubclassProc(window, message, wParam, lParam) | DLGC_WANTALLKEYS;
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            // The window takes the text from the box: the message carries none.
            HWND toolbar = GetParent(window);
            SendMessageW(GetParent(toolbar), WM_SEARCHCOMMANDS, 0, 0);
        }
        break;
    case WM_CHAR:
        // A single-line box beeps at the Enter character; the search has run.
        if (wParam == L'\r')
            return 0;
        break;
    case WM_NCDESTROY: RemoveWindowSubclass(window, &MainToolbar::SearchBoxProc, 1); break;
    default: break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}
