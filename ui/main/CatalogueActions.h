#pragma once

#include <windows.h>

class CatalogueView;
class QuorvallisCommands;

// The main window's editing actions: adding, editing and removing groups,
// commands and scripts, and the context menus of the tree and the list. The
// main menu, the toolbar and the context menus reach them through Run; the
// list's double click and the right clicks call them directly.
//
// The actions are not built yet: each does nothing for now.
class CatalogueActions {
public:
    CatalogueActions(QuorvallisCommands& catalogue, CatalogueView& view);

    // Runs the action of a menu, toolbar or context-menu command id; false
    // when the id is none of theirs.
    bool Run(UINT commandId);

    void AddGroup();
    void EditGroup();
    void RemoveGroup();
    void AddCommand();
    void EditCommand();
    void RemoveCommands();
    void AddScript();
    // `where` is the mouse position in screen coordinates.
    void ShowListMenu(POINT where);
    void ShowTreeMenu(POINT where);

private:
    QuorvallisCommands& catalogue_;
    CatalogueView& view_;
};
