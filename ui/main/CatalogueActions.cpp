#include "ui/main/CatalogueActions.h"

#include "MainWindowIds.h"
#include "catalogue/QuorvallisCommands.h"
#include "platform/win32/UniqueHandle.h"
#include "ui/commandeditor/DlgEditCommand.h"
#include "ui/controls/COwnerDrawMenu.h"
#include "ui/editing/StepTypeTable.h"
#include "ui/groupeditor/DlgEditGroup.h"
#include "ui/main/CatalogueView.h"
#include "ui/main/ModalRuns.h"
#include "ui/programchooser/DlgChooseProgram.h"
#include "programs/ShortcutSuggestion.h"
#include "ui/scripteditor/DlgEditScript.h"

#include <windowsx.h>

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
    // No toolbar button: the menu's id stands in.
    {IDM_COMMAND_ADD_PROGRAM, IDM_COMMAND_ADD_PROGRAM, IDM_LIST_ADD_PROGRAM, &CatalogueActions::AddProgram},
};

// Pictures of the action strip in the context menus.
constexpr int kImageAddCommand = 0, kImageEditCommand = 1, kImageRemoveCommands = 2, kImageAddScript = 3,
              kImageAddGroup = 4, kImageEditGroup = 5, kImageRemoveGroup = 6;

constexpr const wchar_t* kError = L"Error!";
constexpr const wchar_t* kEditFailed = L"Command edit failed!";

} // namespace

CatalogueActions::CatalogueActions(QuorvallisCommands& catalogue, CatalogueView& view, ModalRuns& modal)
    : catalogue_(catalogue),
      view_(view),
      modal_(modal)
{
}

void CatalogueActions::Attach(HWND window, COwnerDrawMenu& menus, HIMAGELIST actionStrip, std::function<void()> changed)
{
    window_ = window;
    menus_ = &menus;
    actionStrip_ = actionStrip;
    changed_ = std::move(changed);
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

void CatalogueActions::Changed()
{
    if (changed_)
        changed_();
}

INT_PTR CatalogueActions::RunEditor(DialogBase& editor)
{
    ModalRuns::Scope scope(modal_);
    return editor.RunModal(window_);
}

int CatalogueActions::Ask(const std::wstring& text, const wchar_t* title, UINT flags)
{
    ModalRuns::Scope scope(modal_);
    return MessageBoxW(window_, text.c_str(), title, flags);
}

std::wstring CatalogueActions::EntryProblem(const std::wstring& shortcut, int groupId, int editedId,
                                            const std::wstring& previousShortcut, bool movedOrNew) const
{
    if (groupId == CatalogueView::kSearchResultsId || !catalogue_.FindGroup(groupId))
        return L"The chosen group no longer exists. Please, select another group.";
    if (!movedOrNew && ShortcutsEqual(shortcut, previousShortcut))
        return {};
    if (CommandPtr holder = catalogue_.ShortcutHolder(shortcut, editedId))
        return L"The shortcut \"" + shortcut + L"\" is already used by the command \"" + holder->name +
               L"\". Please, choose another shortcut.";
    return {};
}

void CatalogueActions::TellRefused(const std::wstring& problem)
{
    // Without a reason of its own the command is gone from the catalogue.
    Ask(problem.empty() ? kEditFailed : problem, kError, MB_OK | MB_ICONERROR);
}

int CatalogueActions::GroupForNewEntries() const
{
    const int selected = view_.SelectedGroupId();
    return selected == CatalogueView::kSearchResultsId ? -1 : selected;
}

void CatalogueActions::AddGroup()
{
    const int parentId = view_.SelectedGroupId();
    if (parentId == CatalogueView::kSearchResultsId)
        return;
    // Without a selection (the last group removed) the group goes on top.
    GroupPtr parent = parentId < 0 ? GroupPtr() : catalogue_.FindGroup(parentId);
    if (parent && catalogue_.GroupDepth(parentId) >= QuorvallisCommands::kMaxGroupDepth) {
        Ask(L"Groups nest at most " + std::to_wstring(QuorvallisCommands::kMaxGroupDepth) + L" levels deep: \"" +
                parent->name + L"\" cannot hold another group.",
            kError, MB_OK | MB_ICONERROR);
        return;
    }
    DlgEditGroup editor;
    if (RunEditor(editor) != IDOK)
        return;
    GroupPtr group = parent ? catalogue_.AddSubgroup(parent, editor.name(), editor.iconIndex())
                            : catalogue_.AddGroup(editor.name(), editor.iconIndex());
    if (!group)
        return;
    view_.AddGroupItem(parent ? parentId : -1, *group);
    Changed();
}

void CatalogueActions::EditGroup()
{
    const int groupId = view_.SelectedGroupId();
    if (groupId < 0) {
        Ask(L"Please, select a group first.", L"No group selected!", MB_OK | MB_ICONINFORMATION);
        return;
    }
    GroupPtr group = catalogue_.FindGroup(groupId);
    if (groupId == CatalogueView::kSearchResultsId || !group)
        return;
    DlgEditGroup editor(group->name, group->iconIndex);
    if (RunEditor(editor) != IDOK)
        return;
    {
        // Groups are edited in place; snapshots copy them under the guard.
        const auto lock = catalogue_.Lock();
        group->name = editor.name();
        group->iconIndex = editor.iconIndex();
    }
    view_.UpdateGroupItem(*group);
    Changed();
}

void CatalogueActions::RemoveGroup()
{
    const int groupId = view_.SelectedGroupId();
    GroupPtr group = groupId < 0 ? GroupPtr() : catalogue_.FindGroup(groupId);
    if (!group)
        return;
    if (Ask(L"Remove group \"" + group->name + L"\" and all its commands?", L"Remove group?",
            MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return;
    if (!catalogue_.RemoveGroup(groupId))
        return;
    view_.DeleteGroupItem(groupId);
    Changed();
}

void CatalogueActions::AddCommand()
{
    const int groupId = GroupForNewEntries();
    if (groupId < 0)
        return;
    DlgEditCommand editor(groupId);
    AddFromEditor(editor);
}

void CatalogueActions::AddProgram()
{
    const int groupId = GroupForNewEntries();
    if (groupId < 0)
        return;
    const ProgramList::Snapshot programs = programs_ ? programs_() : ProgramList::Snapshot();
    if (!programs || programs->empty()) {
        Ask(L"No programs of the Start menu were found. Is \"Include Start menu programs\" checked in the Command "
            L"menu?",
            L"Add programs", MB_OK | MB_ICONINFORMATION);
        return;
    }
    DlgChooseProgram chooser(programs);
    if (RunEditor(chooser) != IDOK || !chooser.chosen())
        return;
    const Program& program = *chooser.chosen();
    // An internet shortcut becomes a web site; a shortcut whose target could
    // not be read is started through the shell as it is.
    const bool web = program.path.size() >= 4 && _wcsicmp(program.path.c_str() + program.path.size() - 4, L".url") == 0;
    const std::wstring text = program.target.empty() ? program.path : program.target;
    const std::wstring shortcut = SuggestShortcut(
        program.name, [this](const std::wstring& each) { return static_cast<bool>(catalogue_.ShortcutHolder(each, kNoCommand)); });
    DlgEditCommand editor(groupId);
    editor.Suggest(static_cast<int>(web ? StepType::OpenWebPage : StepType::OpenExecutable), program.name, shortcut, text);
    AddFromEditor(editor);
}

void CatalogueActions::AddFromEditor(DlgEditCommand& editor)
{
    editor.SetGroups(catalogue_.groups);
    editor.SetAcceptanceCheck([this](const std::wstring& shortcut, int chosen) {
        return EntryProblem(shortcut, chosen, kNoCommand, std::wstring(), true);
    });
    if (RunEditor(editor) != IDOK)
        return;
    CommandPtr command =
        catalogue_.AddCommand(editor.groupId(), editor.name(), editor.notes(), editor.iconIndex(), editor.shortcut(),
                              static_cast<StepType>(editor.typeCode()), editor.commandText());
    if (!command) {
        TellRefused(EntryProblem(editor.shortcut(), editor.groupId(), kNoCommand, std::wstring(), true));
        return;
    }
    if (command->groupId == view_.SelectedGroupId())
        view_.AppendRow(command);
    Changed();
}

void CatalogueActions::EditCommand()
{
    const int row = view_.NextSelectedRow(-1);
    CommandPtr command = row < 0 ? CommandPtr() : catalogue_.FindCommand(view_.RowCommandId(static_cast<size_t>(row)));
    if (!command)
        return;
    // A regular command whose step the command editor does not offer (or
    // that has another number of steps) would lose its text there: the
    // script editor shows every step.
    if (command->kind == CommandKind::Regular && StepTypeTable::FitsCommandEditor(*command))
        EditRegular(command, static_cast<size_t>(row));
    else
        EditScript(command, static_cast<size_t>(row));
}

void CatalogueActions::EditRegular(const CommandPtr& command, size_t row)
{
    const QuorvallisScriptStep& step = *command->steps.front();
    DlgEditCommand editor(static_cast<int>(step.type), command->iconIndex, command->groupId, command->name,
                          command->notes, command->shortcut, step.text);
    editor.SetGroups(catalogue_.groups);
    const int id = command->id;
    const std::wstring previous = command->shortcut;
    editor.SetAcceptanceCheck([this, id, previous](const std::wstring& shortcut, int groupId) {
        return EntryProblem(shortcut, groupId, id, previous, false);
    });
    if (RunEditor(editor) != IDOK)
        return;
    // Workers may be running the listed record: the edit goes to a new record
    // that takes its place in one step. Built, not assigned, so that the
    // catalogue's shortcut index is not made to look for changed records.
    CommandPtr edited(new QuorvallisCommand(id, editor.name(), editor.notes(), editor.iconIndex(), editor.groupId(),
                                            editor.shortcut()));
    edited->kind = command->kind;
    edited->lastStepId = command->lastStepId;
    edited->steps = command->steps;
    // The editor offers the regular types only (see EditCommand).
    if (!edited->SetRegularStep(static_cast<StepType>(editor.typeCode()), editor.commandText())) {
        TellRefused(kEditFailed);
        return;
    }
    if (!catalogue_.UpdateCommand(id, edited)) {
        TellRefused(catalogue_.FindCommand(id) ? EntryProblem(edited->shortcut, edited->groupId, id, previous, false)
                                               : std::wstring());
        return;
    }
    ShowEdited(row, command->groupId, edited);
    Changed();
}

void CatalogueActions::EditScript(const CommandPtr& command, size_t row)
{
    DlgEditScript editor(command->groupId, *command);
    editor.SetGroups(catalogue_.groups);
    editor.SetPluginsManager(catalogue_.pluginsManager);
    const int id = command->id;
    const int groupId = command->groupId;
    const std::wstring previous = command->shortcut;
    // A regular command opened here keeps its id when it moves, as in the
    // command editor.
    const bool reinsertedWhenMoved = command->kind != CommandKind::Regular;
    editor.SetAcceptanceCheck(
        [this, id, groupId, previous, reinsertedWhenMoved](const std::wstring& shortcut, int chosen) {
            // A move re-inserts the script, which checks its shortcut anew.
            return EntryProblem(shortcut, chosen, id, previous, reinsertedWhenMoved && chosen != groupId);
        });
    if (RunEditor(editor) != IDOK)
        return;
    CommandPtr edited(new QuorvallisCommand(editor.command()));
    // In its group it keeps its id and place; moved, a script is a new entry.
    const bool reinserted = reinsertedWhenMoved && edited->groupId != groupId;
    const bool accepted = reinserted ? catalogue_.ReplaceCommand(id, edited) : catalogue_.UpdateCommand(id, edited);
    if (!accepted) {
        TellRefused(catalogue_.FindCommand(id)
                        ? EntryProblem(edited->shortcut, edited->groupId, id, previous, reinserted)
                        : std::wstring());
        return;
    }
    ShowEdited(row, groupId, edited);
    Changed();
}

void CatalogueActions::ShowEdited(size_t row, int previousGroupId, const CommandPtr& edited)
{
    if (edited->groupId == previousGroupId)
        view_.RewriteRow(row, edited);
    else
        view_.DeleteRow(row);
}

void CatalogueActions::RemoveCommands()
{
    if (view_.NextSelectedRow(-1) < 0)
        return;
    if (Ask(L"Remove selected items?", L"Remove?", MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return;
    bool removed = false;
    // From the top; a deleted row's place is taken by the row below it.
    for (int row = view_.NextSelectedRow(-1); row >= 0;) {
        if (catalogue_.RemoveCommand(view_.RowCommandId(static_cast<size_t>(row)))) {
            view_.DeleteRow(static_cast<size_t>(row));
            removed = true;
            row = view_.NextSelectedRow(row - 1);
        } else {
            row = view_.NextSelectedRow(row);
        }
    }
    if (removed)
        Changed();
}

void CatalogueActions::AddScript()
{
    const int groupId = GroupForNewEntries();
    if (groupId < 0)
        return;
    DlgEditScript editor(groupId);
    editor.SetGroups(catalogue_.groups);
    editor.SetPluginsManager(catalogue_.pluginsManager);
    editor.SetAcceptanceCheck([this](const std::wstring& shortcut, int chosen) {
        return EntryProblem(shortcut, chosen, kNoCommand, std::wstring(), true);
    });
    if (RunEditor(editor) != IDOK)
        return;
    CommandPtr script(new QuorvallisCommand(editor.command()));
    if (!catalogue_.InsertCommand(script->groupId, script)) {
        TellRefused(EntryProblem(script->shortcut, script->groupId, kNoCommand, std::wstring(), true));
        return;
    }
    if (script->groupId == view_.SelectedGroupId())
        view_.AppendRow(script);
    Changed();
}

void CatalogueActions::ShowMenu(const std::vector<MenuItem>& items, POINT where)
{
    UniqueMenu menu(CreatePopupMenu());
    if (!menu || !menus_)
        return;
    menus_->RegisterImageList(menu.get(), actionStrip_);
    for (const MenuItem& item : items) {
        if (item.id == 0) {
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
            continue;
        }
        AppendMenuW(menu.get(), MF_STRING, item.id, item.text);
        menus_->AddImage(menu.get(), item.id, item.image);
    }
    {
        ModalRuns::Scope scope(modal_);
        TrackPopupMenu(menu.get(), TPM_LEFTBUTTON, where.x, where.y, 0, window_, nullptr);
    }
    menus_->ForgetMenu(menu.get());
}

bool CatalogueActions::OnViewNotify(const NMHDR& header, LRESULT* result)
{
    if (header.hwndFrom == view_.list() && header.code == NM_DBLCLK) {
        EditCommand();
        *result = 0;
        return true;
    }
    if ((header.hwndFrom == view_.list() || header.hwndFrom == view_.tree()) && header.code == NM_RCLICK) {
        POINT where{};
        GetCursorPos(&where);
        if (header.hwndFrom == view_.list())
            ShowListMenu(where);
        else
            ShowTreeMenu(where);
        // Answered: no WM_CONTEXTMENU follows.
        *result = TRUE;
        return true;
    }
    return false;
}

void CatalogueActions::OnContextMenu(HWND window, LPARAM position)
{
    // The menu key or Shift+F10: at the control's corner.
    POINT where{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (where.x == -1 && where.y == -1) {
        where = POINT{0, 0};
        ClientToScreen(window, &where);
    }
    if (window == view_.list())
        ShowListMenu(where);
    else if (window == view_.tree())
        ShowTreeMenu(where);
}

void CatalogueActions::ShowListMenu(POINT where)
{
    const int groupId = view_.SelectedGroupId();
    if (groupId < 0) {
        Ask(L"Please, select a group first.", L"No group selected!", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (groupId == CatalogueView::kSearchResultsId)
        return;
    std::vector<MenuItem> items{{IDM_LIST_ADD, L"&Add", kImageAddCommand},
                                {IDM_LIST_ADD_SCRIPT, L"Add Script", kImageAddScript},
                                {IDM_LIST_ADD_PROGRAM, L"Add &programs\u2026", kImageAddCommand}};
    if (view_.NextSelectedRow(-1) >= 0)
        items.insert(items.end(), {{IDM_LIST_EDIT, L"&Edit", kImageEditCommand},
                                   {0, nullptr, -1},
                                   {IDM_LIST_REMOVE, L"&Remove", kImageRemoveCommands}});
    ShowMenu(items, where);
}

void CatalogueActions::ShowTreeMenu(POINT where)
{
    const int groupId = view_.SelectedGroupId();
    if (groupId == CatalogueView::kSearchResultsId)
        return;
    std::vector<MenuItem> items{{IDM_TREE_ADD, L"&Add", kImageAddGroup}};
    if (groupId >= 0)
        items.insert(items.end(), {{IDM_TREE_EDIT, L"&Edit", kImageEditGroup},
                                   {0, nullptr, -1},
                                   {IDM_TREE_REMOVE, L"&Remove", kImageRemoveGroup}});
    ShowMenu(items, where);
}
