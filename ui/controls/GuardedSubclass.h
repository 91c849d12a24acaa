#pragma once

#include <windows.h>

#include <commctrl.h>

#include "platform/GuardedCall.h"

// A subclass procedure's handler: static, finds its object through refData.
using SubclassHandler = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR refData);

// Runs a subclass procedure's handler. What it throws is told once for the
// place and never reaches the system; the message then goes to the control
// as it was before the subclass, so a paint still clears what needs drawing.
inline LRESULT GuardedSubclassCall(const char* place, SubclassHandler handler, HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam, DWORD_PTR refData)
{
    LRESULT result = 0;
    if (GuardedRun(place, [&] { result = handler(window, message, wParam, lParam, refData); }))
        return result;
    return DefSubclassProc(window, message, wParam, lParam);
}
