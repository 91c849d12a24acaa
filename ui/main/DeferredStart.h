#pragma once

#include <windows.h>

#include <functional>

// The part of the main window's start that can wait: built once, when the
// program has first waited for input (WM_FINISHSTART), or earlier before a
// message that needs the whole window: a command (from the popup, from
// outside), the search, a problem to show (the tray icon is there while its
// box is up), a broken plugin to name in the tray icon's balloon, the window
// about to show.
class DeferredStart {
public:
    explicit DeferredStart(std::function<void()> build) : build_(std::move(build)) {}

    // Called before the window handles `message`.
    void Before(UINT message, WPARAM wParam)
    {
        if (Needs(message, wParam))
            Run();
    }
    // Builds now unless it was built already.
    void Run();
    bool done() const { return done_; }

    static bool Needs(UINT message, WPARAM wParam);

private:
    std::function<void()> build_;
    bool done_ = false;
};
