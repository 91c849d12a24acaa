#pragma once

#include "catalogue/QuorvallisCommand.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

class CommandGroup;
class QuorvallisCommands;

// The main window's view of the catalogue: the tree of groups and the list
// of the selected group's commands (or of the last search's hits).
//
// Tree items carry group ids, never references to the records: a group can
// be removed while a notification about its item is under way. The list is
// virtual: its rows live here, each with the command it shows and the run
// count read when it was listed (or reported run since), so that a search
// with 100 000 hits lists at once.
class CatalogueView {
public:
    // The group the search lists its hits under, shown while it is selected.
    static constexpr int kSearchResultsId = 2;
    static constexpr const wchar_t* kSearchResultsName = L"Search results";
    static constexpr int kColumnWidth = 120;

    struct CellColours {
        COLORREF background;
        COLORREF text;
    };

    explicit CatalogueView(QuorvallisCommands& catalogue);
    CatalogueView(const CatalogueView&) = delete;
    CatalogueView& operator=(const CatalogueView&) = delete;

    // Takes the tree and the list and sets them up: the list's styles,
    // columns and header pictures, both controls' pictures from `icons`.
    void Attach(HWND tree, HWND list, HIMAGELIST icons);
    // Fills the tree with every group, in the catalogue's order and depth
    // first, and selects the group last selected. Its rows are listed once the
    // list is visible (see OnShown): a start in the background lists none.
    void ShowTree();
    // The window was shown: the selected group's rows are listed if they
    // were held back while it was hidden.
    void OnShown();
    // Lists the commands whose name or shortcut contains `text` under
    // "Search results". Without a hit nothing changes. Returns the hits.
    int Search(const std::wstring& text);
    // A command ran: its row, if listed, shows the new count.
    void OnCommandExecuted(int commandId);
    // Notifications of the tree and the list; true when answered, with the
    // answer in *result.
    bool OnNotify(NMHDR& header, LRESULT* result);

    HWND tree() const { return tree_; }
    HWND list() const { return list_; }
    // The selected group's id, or -1 when no group is selected.
    int SelectedGroupId() const;
    // Removes a group's tree item (the group itself is the caller's to remove
    // first); the selection moves on as the tree decides.
    bool DeleteGroupItem(int groupId);
    // Appends a new group's item as the last child of its parent's item (at
    // the root when parentId names no item).
    void AddGroupItem(int parentId, const CommandGroup& group);
    // Shows a group's new name and picture.
    void UpdateGroupItem(const CommandGroup& group);

    int RowCommandId(size_t row) const;
    // The first selected row after `row` (from the top for -1), or -1.
    int NextSelectedRow(int row) const;
    // A new row at the end of the list.
    void AppendRow(const CommandPtr& command);
    // A row shows the record that took its command's place.
    void RewriteRow(size_t row, const CommandPtr& command);
    // The rows below move up into its place, with their selection.
    void DeleteRow(size_t row);

    // What the "Type" column shows for a command kind.
    static const wchar_t* KindText(CommandKind kind);
    // The "Name" cell's colours for a list drawn in `background` and `text`.
    static CellColours NameCellColours(COLORREF background, COLORREF text);

private:
    struct Row {
        CommandPtr command;
        int timesExecuted;
    };

    void InsertGroup(HTREEITEM parent, const CommandGroup& group);
    HTREEITEM InsertItem(HTREEITEM parent, const std::wstring& name, int image, int groupId);
    HTREEITEM FindItem(HTREEITEM first, int groupId) const;
    void OnSelectionChanged(const NMTREEVIEWW& change);
    void ShowGroup(int groupId);
    void ShowRows(std::vector<Row> rows);
    Row MakeRow(const CommandPtr& command) const;
    void OnGetDisplayInfo(NMLVDISPINFOW& info) const;
    LRESULT OnFindItem(const NMLVFINDITEMW& find) const;
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw) const;

    QuorvallisCommands& catalogue_;
    HWND tree_ = nullptr;
    HWND list_ = nullptr;
    std::vector<Row> rows_;
    // The item being deleted, whose selection change must not delete it again.
    HTREEITEM deleting_ = nullptr;
    // A group was selected while the list was hidden and its rows not listed.
    bool rowsHeld_ = false;
};
