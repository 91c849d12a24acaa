#pragma once

#include <windows.h>

#include "ui/controls/AnchoredResize.h"
#include "ui/controls/Splitter.h"

// Where the main window's children stand as it is resized: the template's
// controls anchored to its edges, the splitter between the group tree and
// the command list inside the commands frame, and the status bar.
class MainWindowLayout {
public:
    // The splitter (around the tree and the list) and the status bar.
    void CreateParts(HWND window);
    // Records the anchors once every control is there; the controls stand
    // where the template put them, for its size less `menuHeight`.
    void Anchor(int menuHeight);
    // The window's client area is now `width` by `height`.
    void Fit(int width, int height);

private:
    void FitSplitter();

    HWND window_ = nullptr;
    AnchoredResize anchors_;
    Splitter splitter_;
    HWND statusBar_ = nullptr; // a child: destroyed with the window
};
