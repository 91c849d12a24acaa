#pragma once

#include <windows.h>

#include "ui/controls/COwnerDrawMenu.h"

// The main window's menu bar with the action strip's pictures, the About
// item of its system menu, and the Enable/Disable item that follows the
// enabled state. Its owner-drawn menu records also serve the window's
// context and tray menus.
class MainMenu {
public:
    // Loads the bar, gives its items their pictures and sets it on `window`,
    // which owns it from then on.
    void Create(HWND window, HIMAGELIST strip);
    // Names the toggle item Enable or Disable, with its picture.
    void ShowEnabled(HWND window, bool enabled);
    // Checks or clears a check item of the bar.
    static void ShowChecked(HWND window, UINT id, bool checked);

    COwnerDrawMenu& images() { return images_; }

private:
    void RegisterImages(HMENU menu, HIMAGELIST strip);

    COwnerDrawMenu images_;
};
