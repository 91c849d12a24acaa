#include "ui/main/DeferredStart.h"

#include "platform/WindowMessages.h"

void DeferredStart::Run()
{
    if (done_)
        return;
    // Done before the build, which lays the window out as built already.
    done_ = true;
    build_();
}

bool DeferredStart::Needs(UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_FINISHSTART:
    case WM_COMMAND:
    case WM_SEARCHCOMMANDS:
    case WM_REPORTPROBLEM:
    case WM_PLUGINBROKE: return true;
    case WM_SHOWWINDOW:
        // Whatever shows the window first finds it built.
        return wParam != 0;
    default: return false;
    }
}
