#include "ui/main/MainMenu.h"

#include "MainWindowIds.h"
#include "platform/win32/UniqueHandle.h"

namespace {

// Pictures of the action strip.
constexpr int kImageAddCommand = 0, kImageEditCommand = 1, kImageRemoveCommands = 2, kImageAddScript = 3,
              kImageAddGroup = 4, kImageEditGroup = 5, kImageRemoveGroup = 6, kImageClose = 7, kImageEnable = 9,
              kImageDisable = 10;

} // namespace

void MainMenu::Create(HWND window, HIMAGELIST strip)
{
    UniqueMenu bar(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAIN_MENU)));
    if (bar) {
        RegisterImages(bar.get(), strip);
        if (SetMenu(window, bar.get()))
            bar.release(); // the window owns it now and destroys it with itself
    }
    if (HMENU system = GetSystemMenu(window, FALSE)) {
        AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(system, MF_STRING, IDM_SYSTEM_ABOUT, L"About Quorvallis");
    }
}

void MainMenu::RegisterImages(HMENU menu, HIMAGELIST strip)
{
    struct ItemImage {
        UINT id;
        int image;
    };
    const ItemImage images[] = {
        {IDM_FILE_CLOSE, kImageClose},
        {IDM_GROUP_ADD, kImageAddGroup},
        {IDM_GROUP_EDIT, kImageEditGroup},
        {IDM_GROUP_REMOVE, kImageRemoveGroup},
        {IDM_COMMAND_ADD, kImageAddCommand},
        {IDM_COMMAND_EDIT, kImageEditCommand},
        {IDM_COMMAND_REMOVE, kImageRemoveCommands},
        {IDM_COMMAND_ADD_SCRIPT, kImageAddScript},
        {IDM_COMMAND_TOGGLE_ENABLED, kImageEnable},
    };
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        HMENU submenu = GetSubMenu(menu, i);
        if (!submenu)
            continue;
        images_.RegisterImageList(submenu, strip);
        for (const auto& item : images)
            if (GetMenuState(submenu, item.id, MF_BYCOMMAND) != static_cast<UINT>(-1))
                images_.AddImage(submenu, item.id, item.image);
    }
}

void MainMenu::ShowEnabled(HWND window, bool enabled)
{
    HMENU menu = GetMenu(window);
    if (!menu)
        return;
    ModifyMenuW(menu, IDM_COMMAND_TOGGLE_ENABLED, MF_BYCOMMAND | MF_STRING, IDM_COMMAND_TOGGLE_ENABLED,
                enabled ? L"Disable" : L"Enable");
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        HMENU submenu = GetSubMenu(menu, i);
        if (submenu && GetMenuState(submenu, IDM_COMMAND_TOGGLE_ENABLED, MF_BYCOMMAND) != static_cast<UINT>(-1))
            images_.AddImage(submenu, IDM_COMMAND_TOGGLE_ENABLED, enabled ? kImageDisable : kImageEnable);
    }
}

void MainMenu::ShowChecked(HWND window, UINT id, bool checked)
{
    if (HMENU menu = GetMenu(window))
        CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}
