#pragma once

#include <windows.h>

#include <functional>

// Counts the modal loops the main window has started (editors, pickers,
// message boxes), so that an exit asked for inside one of them waits until
// they have unwound instead of destroying the window under them.
class ModalRuns {
public:
    // Held for the length of one modal run.
    class Scope {
    public:
        explicit Scope(ModalRuns& runs) : runs_(runs) { ++runs_.open_; }
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        ModalRuns& runs_;
    };

    bool AnyOpen() const { return open_ > 0; }
    // Ends every dialog of this thread that the main window owns, directly or
    // through another, as cancelled (message boxes and pickers inside an
    // editor too), and the open menu. `whenUnwound` is called once the last
    // run has returned; a later call replaces it.
    void CancelAll(HWND mainWindow, std::function<void()> whenUnwound);

private:
    int open_ = 0;
    std::function<void()> whenUnwound_;
};
