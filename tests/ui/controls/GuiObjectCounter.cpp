#include "GuiObjectCounter.h"

#include <windows.h>

#include <vector>

namespace {

long GdiRoom()
{
    std::vector<HBRUSH> made;
    made.reserve(70000);
    while (made.size() < 200000) {
        HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
        if (!brush)
            break;
        made.push_back(brush);
    }
    for (HBRUSH brush : made)
        DeleteObject(brush);
    return static_cast<long>(made.size());
}

long UserRoom()
{
    std::vector<HMENU> made;
    made.reserve(70000);
    while (made.size() < 200000) {
        HMENU menu = CreatePopupMenu();
        if (!menu)
            break;
        made.push_back(menu);
    }
    for (HMENU menu : made)
        DestroyMenu(menu);
    return static_cast<long>(made.size());
}

} // namespace

bool GuiObjectCounter::UsesGetGuiResources()
{
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) != 0;
}

GuiObjectCounter::Counts GuiObjectCounter::Take()
{
    Counts counts;
    if (UsesGetGuiResources()) {
        counts.gdi = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
        counts.user = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    } else {
        // Less room means more objects in use.
        counts.gdi = -GdiRoom();
        counts.user = -UserRoom();
    }
    return counts;
}
