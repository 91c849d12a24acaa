#include "ui/main/CatalogueActions.h"

#include "MainWindowIds.h"

namespace {

using Action = void (CatalogueActions::*)();

struct Route {
    UINT menu;
    UINT toolbar;
    UINT popup;
    Action action;
};

const Route kRoutes[] = {
    {IDM_GROUP_ADD, IDT_ADD_GROUP, IDM_TREE_ADD, &CatalogueActions::AddGroup},
    {IDM_GROUP_EDIT, IDT_EDIT_GROUP, IDM_TREE_EDIT, &CatalogueActions::EditGroup},
    {IDM_GROUP_REMOVE, IDT_REMOVE_GROUP, IDM_TREE_REMOVE, &CatalogueActions::RemoveGroup},
    {IDM_COMMAND_ADD, IDT_ADD_COMMAND, IDM_LIST_ADD, &CatalogueActions::AddCommand},
    {IDM_COMMAND_EDIT, IDT_EDIT_COMMAND, IDM_LIST_EDIT, &CatalogueActions::EditCommand},
    {IDM_COMMAND_REMOVE, IDT_REMOVE_COMMANDS, IDM_LIST_REMOVE, &CatalogueActions::RemoveCommands},
    {IDM_COMMAND_ADD_SCRIPT, IDT_ADD_SCRIPT, IDM_LIST_ADD_SCRIPT, &CatalogueActions::AddScript},
};

}  // namespace

CatalogueActions::CatalogueActions(QuorvallisCommands& catalogue, CatalogueView& view)
    : catalogue_(catalogue), view_(view)
{
}

bool CatalogueActions::Run(UINT commandId)
{
    for (const Route& route : kRoutes) {
        if (commandId == route.menu || commandId == route.toolbar || commandId == route.popup) {
            (this->*route.action)();
            return true;
        }
    }
    return false;
}

void CatalogueActions::AddGroup() {}
void CatalogueActions::EditGroup() {}
void CatalogueActions::RemoveGroup() {}
void CatalogueActions::AddCommand() {}
void CatalogueActions::EditCommand() {}
void CatalogueActions::RemoveCommands() {}
void CatalogueActions::AddScript() {}
void CatalogueActions::ShowListMenu(POINT) {}
void CatalogueActions::ShowTreeMenu(POINT) {}
