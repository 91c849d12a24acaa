#pragma once

#include <windows.h>

#include "platform/win32/UniqueHandle.h"

// The background colour shared by the editors and the icon picker, and the
// message routing that lets owner-drawn children paint themselves: colour
// requests get the background brush, everything else about a child goes back
// to that child with its number raised by 0x2000.
class CColourDialog {
public:
    static constexpr COLORREF kBackground = RGB(238, 238, 239);
    static constexpr UINT kReflectOffset = 0x2000;

    CColourDialog();
    CColourDialog(const CColourDialog&) = delete;
    CColourDialog& operator=(const CColourDialog&) = delete;
    ~CColourDialog();

    HBRUSH BackgroundBrush() const { return background_.get(); }

    // Call from the dialog's message handler for messages it did not handle.
    // Returns true when the message was answered; *result is then the value
    // the dialog procedure returns itself (a brush for colour requests, TRUE
    // otherwise, with the child's own answer already in DWLP_MSGRESULT).
    bool RouteMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) const;

    // The child a parent notification concerns, or null.
    static HWND ChildOf(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

private:
    UniqueGdi<HBRUSH> background_;
};
