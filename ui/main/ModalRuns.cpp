#include "ui/main/ModalRuns.h"

#include <vector>

#include "platform/GuardedCall.h"

namespace {

struct Search {
    HWND mainWindow;
    std::vector<HWND> dialogs;
};

bool OwnedBy(HWND window, HWND owner)
{
    for (HWND up = GetWindow(window, GW_OWNER); up; up = GetWindow(up, GW_OWNER))
        if (up == owner)
            return true;
    return false;
}

BOOL CALLBACK Collect(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<Search*>(context);
    wchar_t name[16] = L"";
    GetClassNameW(window, name, 16);
    // Dialogs only: the typing popup is a dialog too, but nobody owns it.
    if (window != search->mainWindow && lstrcmpW(name, L"#32770") == 0 && OwnedBy(window, search->mainWindow))
        // No room for one more: the enumeration stops with what it has.
        return GuardedRun("the search for open dialogs", [&] { search->dialogs.push_back(window); });
    return TRUE;
}

} // namespace

ModalRuns::Scope::~Scope()
{
    if (--runs_.open_ > 0 || !runs_.whenUnwound_)
        return;
    const std::function<void()> call = std::move(runs_.whenUnwound_);
    runs_.whenUnwound_ = nullptr;
    call();
}

void ModalRuns::CancelAll(HWND mainWindow, std::function<void()> whenUnwound)
{
    whenUnwound_ = std::move(whenUnwound);
    Search search{mainWindow, {}};
    EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(&search));
    // Each loop sees its end once the one inside it has returned; a loop
    // waiting for a message (the exit may come as a sent one) is woken.
    for (HWND dialog : search.dialogs) {
        EndDialog(dialog, IDCANCEL);
        PostMessageW(dialog, WM_NULL, 0, 0);
    }
    // A context menu is a loop of its own: it ends as if dismissed.
    EndMenu();
}
