#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

// The main window's toolbar: the seven catalogue actions as picture buttons
// with tooltips, and the search box that sits in the toolbar after them.
// Enter in the search box sends WM_SEARCHCOMMANDS to the main window, which
// reads the text back with SearchText.
class MainToolbar {
public:
    static constexpr int kSearchBoxWidth = 120;
    static constexpr int kSearchBoxHeight = 20;

    MainToolbar() = default;
    MainToolbar(const MainToolbar&) = delete;
    MainToolbar& operator=(const MainToolbar&) = delete;

    // Creates the toolbar (hidden) and the search box as children of
    // `window`, with pictures from `actions` and the search box in `font`;
    // then fits the toolbar to the window and shows it.
    bool Create(HWND window, HIMAGELIST actions, HFONT font);
    // Fits the toolbar to the window's width again.
    void Fit() const;

    HWND hwnd() const { return toolbar_; }
    HWND searchBox() const { return searchBox_; }
    std::wstring SearchText() const;
    // The toolbar's rectangle in its window's client coordinates.
    RECT Bounds() const;

    // The toolbar asks for a button's tooltip (TTN_GETDISPINFO, by command
    // id). Answers it, and lets the toolbar keep the text, when it is one of
    // the buttons'.
    bool OnNotify(NMHDR& header) const;
    // The tooltip of a toolbar button, or null.
    static const wchar_t* TooltipText(UINT commandId);

private:
    static LRESULT CALLBACK SearchBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                          DWORD_PTR refData);
    // The procedure itself; SearchBoxProc guards it.
    static LRESULT HandleSearchBoxMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR refData);

    // Both are children of the main window, which destroys them.
    HWND toolbar_ = nullptr;
    HWND searchBox_ = nullptr;
};
