#pragma once

#include <windows.h>

#include "ui/DialogBase.h"

// Times a modal dialog from RunModal to its first idle moment: a timer
// message comes only after the dialog is shown and painted, and ends it.
class DialogOpenTime {
public:
    // Milliseconds on the high-resolution counter.
    static double Now()
    {
        LARGE_INTEGER frequency, counter;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&counter);
        return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
    }

    // Milliseconds until the dialog was up, the timer's tick included.
    static double Measure(DialogBase& dialog)
    {
        const double start = Now();
        SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &OnIdle);
        dialog.RunModal(nullptr);
        return Opened() - start;
    }

private:
    static double& Opened()
    {
        static double opened = 0;
        return opened;
    }

    static void CALLBACK OnIdle(HWND, UINT, UINT_PTR id, DWORD)
    {
        Opened() = Now();
        KillTimer(nullptr, id);
        EndDialog(GetActiveWindow(), IDCANCEL);
    }
};
