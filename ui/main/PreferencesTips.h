#pragma once

#include <windows.h>

#include "ui/controls/BalloonTips.h"

// The balloon tips of the main window: the search box and the preferences
// box's check boxes and key combos.
class PreferencesTips {
public:
    // Once the window's controls are there (`searchBox` is the toolbar's).
    void Create(HWND window, HWND searchBox);

private:
    BalloonTips tips_;
};
