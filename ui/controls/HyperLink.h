#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/UniqueHandle.h"

// A label that opens a web address: underlined in the browser's link colour,
// a hand cursor over its text, a tooltip naming the target, opened by a click
// or by Enter or Space while it has the focus.
class HyperLink {
public:
    static constexpr COLORREF kDefaultLink = RGB(0, 0, 255);
    static constexpr COLORREF kDefaultVisited = RGB(128, 0, 128);

    HyperLink();
    HyperLink(const HyperLink&) = delete;
    HyperLink& operator=(const HyperLink&) = delete;
    ~HyperLink();

    bool Attach(HWND dialog, int controlId, const std::wstring& target);
    void Detach();
    HWND hwnd() const { return window_; }

    // The colour the label is drawn in now.
    COLORREF TextColour() const { return visited_ ? visitedColour_ : linkColour_; }
    bool visited() const { return visited_; }
    const std::wstring& target() const { return target_; }
    // Answers the dialog's WM_CTLCOLORSTATIC for the label.
    HBRUSH OnColour(HDC dc, HBRUSH background) const;
    // Opens the target with the shell; true on success.
    bool Open();

    // Reads "r,g,b" into *colour; false leaves it alone.
    static bool ParseColour(const std::wstring& text, COLORREF* colour);

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR refData);
    // The procedure itself; SubclassProc guards it.
    static LRESULT HandleSubclassMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR refData);
    void ReadLinkColours();
    bool OverText(POINT client) const;

    HWND window_ = nullptr;
    std::wstring target_;
    COLORREF linkColour_ = kDefaultLink;
    COLORREF visitedColour_ = kDefaultVisited;
    bool visited_ = false;
    UniqueGdi<HFONT> underlined_;
    UniqueWindow tooltip_;
};
