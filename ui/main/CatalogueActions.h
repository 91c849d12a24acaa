#pragma once

#include "catalogue/QuorvallisCommand.h"
#include "programs/ProgramList.h"

#include <windows.h>
#include <commctrl.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

class CatalogueView;
class COwnerDrawMenu;
class DlgEditCommand;
class DialogBase;
class ModalRuns;
class QuorvallisCommands;

// The main window's editing actions: adding, editing and removing groups,
// commands and scripts, and the context menus of the tree and the list. The
// main menu, the toolbar and the context menus reach them through Run; the
// list's double click and the right clicks call them directly.
//
// Each action reads the selection, runs an editor on copies, applies the
// result through the catalogue's operations, mirrors it in the tree and the
// list, and reports the accepted change (the window saves then). An entry
// the catalogue would refuse is refused in the editor, which stays open.
class CatalogueActions {
public:
    CatalogueActions(QuorvallisCommands& catalogue, CatalogueView& view, ModalRuns& modal);

    // The main window (owner of editors and menus), its menu painter with the
    // action strip, and what to call after an accepted change.
    void Attach(HWND window, COwnerDrawMenu& menus, HIMAGELIST actionStrip, std::function<void()> changed);

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
    // A regular command made from a program of the Start menu, chosen in a
    // box and then completed in the command editor.
    void AddProgram();
    // Where AddProgram finds the programs.
    void SetPrograms(std::function<ProgramList::Snapshot()> programs) { programs_ = std::move(programs); }
    // `where` is the mouse position in screen coordinates.
    void ShowListMenu(POINT where);
    void ShowTreeMenu(POINT where);
    // The view's double click (edit) and right click (its menu); true with
    // *result when the notification was one of them.
    bool OnViewNotify(const NMHDR& header, LRESULT* result);
    // WM_CONTEXTMENU over the tree or the list.
    void OnContextMenu(HWND window, LPARAM position);

    // Why the catalogue would not take an entry with this shortcut in this
    // group, or an empty text. `editedId` is the command being edited (its
    // own shortcut is no conflict), `movedOrNew` whether any other holder of
    // the shortcut counts even when it was not changed.
    std::wstring EntryProblem(const std::wstring& shortcut, int groupId, int editedId,
                              const std::wstring& previousShortcut, bool movedOrNew) const;

private:
    static constexpr int kNoCommand = INT_MIN;

    // The selected group's id when one is selected and it may take new
    // entries (not the search results); else -1.
    int GroupForNewEntries() const;
    // Runs the command editor in add mode and adds what it accepts.
    void AddFromEditor(DlgEditCommand& editor);
    void EditRegular(const CommandPtr& command, size_t row);
    void EditScript(const CommandPtr& command, size_t row);
    // Mirrors an accepted edit: the row shows the new record, or leaves
    // when the command moved to another group.
    void ShowEdited(size_t row, int previousGroupId, const CommandPtr& edited);
    INT_PTR RunEditor(DialogBase& editor);
    int Ask(const std::wstring& text, const wchar_t* title, UINT flags);
    // An entry the catalogue refused after its editor closed: the reason, or
    // "Command edit failed!" when the command is gone.
    void TellRefused(const std::wstring& problem);
    struct MenuItem {
        UINT id; // 0 for a separator
        const wchar_t* text;
        int image;
    };
    // A context menu owner-drawn with the action strip, at `where`.
    void ShowMenu(const std::vector<MenuItem>& items, POINT where);
    void Changed();

    QuorvallisCommands& catalogue_;
    CatalogueView& view_;
    ModalRuns& modal_;
    HWND window_ = nullptr;
    COwnerDrawMenu* menus_ = nullptr;
    HIMAGELIST actionStrip_ = nullptr;
    std::function<void()> changed_;
    std::function<ProgramList::Snapshot()> programs_;
};
