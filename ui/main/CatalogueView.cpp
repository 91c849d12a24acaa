#include "ui/main/CatalogueView.h"

#include "catalogue/QuorvallisCommands.h"

#include <algorithm>
#include <cwchar>

namespace {

// Longest texts shown: a tree label fills a buffer of 860 characters, a list
// cell one of 1300, the terminating NUL included; longer texts are cut.
constexpr size_t kTreeLabelChars = 859;
constexpr size_t kListCellChars = 1299;

struct Column {
    const wchar_t* title;
    int alignment;
    int image;
};

constexpr Column kColumns[] = {
    {L"Name", LVCFMT_LEFT, 0},
    {L"Shortcut", LVCFMT_LEFT, 1},
    {L"Type", LVCFMT_LEFT, 2},
    {L"#times executed", LVCFMT_RIGHT, 22},
};

int Channel(int value)
{
    return std::max(0, std::min(255, value));
}

// A list reports its default colours as CLR_DEFAULT or CLR_NONE.
COLORREF Resolved(COLORREF colour, int systemColour)
{
    return (colour & 0xFF000000) ? GetSysColor(systemColour) : colour;
}

int GroupIdOf(HWND tree, HTREEITEM item)
{
    TVITEMW data{};
    data.mask = TVIF_PARAM | TVIF_HANDLE;
    data.hItem = item;
    return item && TreeView_GetItem(tree, &data) ? static_cast<int>(data.lParam) : -1;
}

} // namespace

CatalogueView::CatalogueView(QuorvallisCommands& catalogue) : catalogue_(catalogue)
{
}

const wchar_t* CatalogueView::KindText(CommandKind kind)
{
    switch (kind) {
    case CommandKind::Regular: return L"Regular";
    case CommandKind::Script: return L"Script";
    }
    return L"";
}

CatalogueView::CellColours CatalogueView::NameCellColours(COLORREF background, COLORREF text)
{
    return CellColours{
        RGB(Channel(GetRValue(background) - 15), Channel(GetGValue(background) - 15),
            Channel(GetBValue(background) - 15)),
        RGB(Channel(GetRValue(text) + 60), Channel(GetGValue(text) + 60), Channel(GetBValue(text) + 60)),
    };
}

void CatalogueView::Attach(HWND tree, HWND list, HIMAGELIST icons)
{
    tree_ = tree;
    list_ = list;
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP);
    ListView_SetImageList(list_, icons, LVSIL_SMALL);
    int index = 0;
    for (const Column& column : kColumns) {
        LVCOLUMNW info{};
        info.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_IMAGE | LVCF_SUBITEM;
        info.fmt = column.alignment | LVCFMT_IMAGE;
        info.cx = kColumnWidth;
        info.pszText = const_cast<wchar_t*>(column.title);
        info.iImage = column.image;
        info.iSubItem = index;
        SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info));
        ++index;
    }
    TreeView_SetImageList(tree_, icons, TVSIL_NORMAL);
}

HTREEITEM CatalogueView::InsertItem(HTREEITEM parent, const std::wstring& name, int image, int groupId)
{
    const std::wstring label = name.substr(0, kTreeLabelChars);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = const_cast<wchar_t*>(label.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    insert.item.cChildren = 0;
    insert.item.lParam = groupId;
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void CatalogueView::InsertGroup(HTREEITEM parent, const CommandGroup& group)
{
    if (parent != TVI_ROOT) {
        TVITEMW children{};
        children.mask = TVIF_CHILDREN | TVIF_HANDLE;
        children.hItem = parent;
        children.cChildren = 1;
        TreeView_SetItem(tree_, &children);
    }
    HTREEITEM item = InsertItem(parent, group.name, group.iconIndex, group.id);
    if (!item)
        return;
    if (group.id == catalogue_.lastSelectedGroupId)
        TreeView_SelectItem(tree_, item);
    if (parent != TVI_ROOT)
        TreeView_Expand(tree_, parent, TVE_EXPAND);
    for (const GroupPtr& child : group.subgroups) {
        if (child)
            InsertGroup(item, *child);
    }
}

void CatalogueView::ShowTree()
{
    // The list holds shared references: a copy, so that selecting an item
    // (which may change the catalogue) cannot pull a group from under the walk.
    const std::vector<GroupPtr> groups = catalogue_.groups;
    for (const GroupPtr& group : groups) {
        if (group)
            InsertGroup(TVI_ROOT, *group);
    }
}

HTREEITEM CatalogueView::FindItem(HTREEITEM first, int groupId) const
{
    for (HTREEITEM item = first; item; item = TreeView_GetNextSibling(tree_, item)) {
        if (GroupIdOf(tree_, item) == groupId)
            return item;
        if (HTREEITEM found = FindItem(TreeView_GetChild(tree_, item), groupId))
            return found;
    }
    return nullptr;
}

int CatalogueView::SelectedGroupId() const
{
    return GroupIdOf(tree_, TreeView_GetSelection(tree_));
}

bool CatalogueView::DeleteGroupItem(int groupId)
{
    HTREEITEM item = FindItem(TreeView_GetRoot(tree_), groupId);
    if (!item)
        return false;
    deleting_ = item;
    TreeView_DeleteItem(tree_, item);
    deleting_ = nullptr;
    return true;
}

void CatalogueView::AddGroupItem(int parentId, const CommandGroup& group)
{
    HTREEITEM parent = parentId < 0 ? nullptr : FindItem(TreeView_GetRoot(tree_), parentId);
    InsertGroup(parent ? parent : TVI_ROOT, group);
}

void CatalogueView::UpdateGroupItem(const CommandGroup& group)
{
    HTREEITEM item = FindItem(TreeView_GetRoot(tree_), group.id);
    if (!item)
        return;
    const std::wstring label = group.name.substr(0, kTreeLabelChars);
    TVITEMW data{};
    data.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    data.hItem = item;
    data.pszText = const_cast<wchar_t*>(label.c_str());
    data.iImage = group.iconIndex;
    data.iSelectedImage = group.iconIndex;
    TreeView_SetItem(tree_, &data);
}

void CatalogueView::OnSelectionChanged(const NMTREEVIEWW& change)
{
    // Removing the search results deletes their item from inside this
    // notification; an item already on its way out is not deleted twice.
    HTREEITEM old = change.itemOld.hItem;
    if (old && old != deleting_ && static_cast<int>(change.itemOld.lParam) == kSearchResultsId) {
        catalogue_.RemoveGroup(kSearchResultsId);
        deleting_ = old;
        TreeView_DeleteItem(tree_, old);
        deleting_ = nullptr;
    }
    if (!change.itemNew.hItem) {
        ShowRows({});
        return;
    }
    const int groupId = static_cast<int>(change.itemNew.lParam);
    catalogue_.lastSelectedGroupId = groupId;
    // Listing 10 000 rows in a window nobody sees would slow the start.
    if (!IsWindowVisible(list_)) {
        ShowRows({});
        rowsHeld_ = true;
        return;
    }
    ShowGroup(groupId);
}

void CatalogueView::OnShown()
{
    if (!rowsHeld_)
        return;
    rowsHeld_ = false;
    const int groupId = SelectedGroupId();
    if (groupId >= 0)
        ShowGroup(groupId);
}

CatalogueView::Row CatalogueView::MakeRow(const CommandPtr& command) const
{
    return Row{command, command->timesExecuted};
}

void CatalogueView::ShowGroup(int groupId)
{
    std::vector<Row> rows;
    {
        // Workers raise counts under the guard.
        const auto lock = catalogue_.Lock();
        for (const CommandPtr& command : catalogue_.allCommands) {
            if (command && command->groupId == groupId)
                rows.push_back(MakeRow(command));
        }
    }
    ShowRows(std::move(rows));
}

void CatalogueView::ShowRows(std::vector<Row> rows)
{
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    rowsHeld_ = false;
    rows_ = std::move(rows);
    ListView_SetItemCountEx(list_, static_cast<int>(rows_.size()), 0);
    InvalidateRect(list_, nullptr, TRUE);
}

int CatalogueView::Search(const std::wstring& text)
{
    const int hits = catalogue_.SearchCommands(text);
    if (hits <= 0)
        return 0;
    std::vector<Row> rows;
    {
        const auto lock = catalogue_.Lock();
        rows.reserve(catalogue_.searchResults.size());
        for (const CommandPtr& command : catalogue_.searchResults)
            rows.push_back(MakeRow(command));
    }
    ShowRows({});
    GroupPtr group = catalogue_.FindGroup(kSearchResultsId);
    if (!group)
        group = catalogue_.AddTopGroup(kSearchResultsId, kSearchResultsName);
    HTREEITEM item = FindItem(TreeView_GetRoot(tree_), kSearchResultsId);
    if (!item && group)
        item = InsertItem(TVI_ROOT, group->name, group->iconIndex, kSearchResultsId);
    // Selecting it lists the group's own commands: none.
    if (item && TreeView_GetSelection(tree_) != item)
        TreeView_SelectItem(tree_, item);
    ShowRows(std::move(rows));
    return hits;
}

int CatalogueView::RowCommandId(size_t row) const
{
    return row < rows_.size() && rows_[row].command ? rows_[row].command->id : -1;
}

int CatalogueView::NextSelectedRow(int row) const
{
    return ListView_GetNextItem(list_, row, LVNI_SELECTED);
}

void CatalogueView::AppendRow(const CommandPtr& command)
{
    if (!command)
        return;
    rows_.push_back(MakeRow(command));
    // Keeps the selection and the scroll position.
    ListView_SetItemCountEx(list_, static_cast<int>(rows_.size()), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    const int last = static_cast<int>(rows_.size()) - 1;
    ListView_RedrawItems(list_, last, last);
}

void CatalogueView::RewriteRow(size_t row, const CommandPtr& command)
{
    if (row >= rows_.size() || !command)
        return;
    rows_[row] = MakeRow(command);
    ListView_RedrawItems(list_, static_cast<int>(row), static_cast<int>(row));
}

void CatalogueView::DeleteRow(size_t row)
{
    if (row >= rows_.size())
        return;
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
    // The list moves the selection and focus of the rows below up with them.
    ListView_DeleteItem(list_, static_cast<int>(row));
}

void CatalogueView::OnCommandExecuted(int commandId)
{
    auto row = std::find_if(rows_.begin(), rows_.end(),
                            [commandId](const Row& r) { return r.command && r.command->id == commandId; });
    if (row == rows_.end())
        return;
    const int times = catalogue_.TimesExecuted(commandId);
    if (times < 0)
        return;
    row->timesExecuted = times;
    const int index = static_cast<int>(row - rows_.begin());
    ListView_RedrawItems(list_, index, index);
}

void CatalogueView::OnGetDisplayInfo(NMLVDISPINFOW& info) const
{
    LVITEMW& item = info.item;
    if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= rows_.size() || !rows_[item.iItem].command)
        return;
    const Row& row = rows_[static_cast<size_t>(item.iItem)];
    const QuorvallisCommand& command = *row.command;
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        std::wstring count;
        const wchar_t* text = L"";
        size_t length = 0;
        switch (item.iSubItem) {
        case 0:
            text = command.name.c_str();
            length = command.name.size();
            break;
        case 1:
            text = command.shortcut.c_str();
            length = command.shortcut.size();
            break;
        case 2:
            text = KindText(command.kind);
            length = wcslen(text);
            break;
        case 3:
            count = std::to_wstring(row.timesExecuted);
            text = count.c_str();
            length = count.size();
            break;
        default: break;
        }
        length = std::min({length, kListCellChars, static_cast<size_t>(item.cchTextMax) - 1});
        std::copy(text, text + length, item.pszText);
        item.pszText[length] = L'\0';
    }
    if (item.mask & LVIF_IMAGE)
        item.iImage = item.iSubItem == 0 ? command.iconIndex : I_IMAGENONE;
    if (item.mask & LVIF_PARAM)
        item.lParam = command.id;
    if (item.mask & LVIF_INDENT)
        item.iIndent = 0;
}

LRESULT CatalogueView::OnFindItem(const NMLVFINDITEMW& find) const
{
    // Typing in the list jumps to the next name that starts with the keys.
    if (!(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz)
        return -1;
    const std::wstring prefix = find.lvfi.psz;
    const auto matches = [&](size_t row) {
        if (!rows_[row].command)
            return false;
        const std::wstring& name = rows_[row].command->name;
        return name.size() >= prefix.size() &&
               CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, name.c_str(), static_cast<int>(prefix.size()),
                              prefix.c_str(), static_cast<int>(prefix.size())) == CSTR_EQUAL;
    };
    const size_t start = find.iStart > 0 ? std::min(static_cast<size_t>(find.iStart), rows_.size()) : 0;
    for (size_t row = start; row < rows_.size(); ++row)
        if (matches(row))
            return static_cast<LRESULT>(row);
    if (find.lvfi.flags & LVFI_WRAP)
        for (size_t row = 0; row < start; ++row)
            if (matches(row))
                return static_cast<LRESULT>(row);
    return -1;
}

LRESULT CatalogueView::OnCustomDraw(NMLVCUSTOMDRAW& draw) const
{
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const COLORREF background = Resolved(ListView_GetTextBkColor(list_), COLOR_WINDOW);
        const COLORREF text = Resolved(ListView_GetTextColor(list_), COLOR_WINDOWTEXT);
        if (draw.iSubItem == 0) {
            const CellColours name = NameCellColours(Resolved(ListView_GetBkColor(list_), COLOR_WINDOW), text);
            draw.clrTextBk = name.background;
            draw.clrText = name.text;
        } else {
            draw.clrTextBk = background;
            draw.clrText = text;
        }
        return CDRF_NEWFONT;
    }
    default: return CDRF_DODEFAULT;
    }
}

bool CatalogueView::OnNotify(NMHDR& header, LRESULT* result)
{
    NMHDR& notification = header;
    if (header.hwndFrom == tree_ && tree_) {
        if (header.code != TVN_SELCHANGEDW)
            return false;
        OnSelectionChanged(reinterpret_cast<const NMTREEVIEWW&>(header));
        *result = 0;
        return true;
    }
    if (header.hwndFrom != list_ || !list_)
        return false;
    switch (header.code) {
    case LVN_GETDISPINFOW:
        OnGetDisplayInfo(reinterpret_cast<NMLVDISPINFOW&>(notification));
        *result = 0;
        return true;
    case LVN_ODFINDITEMW: *result = OnFindItem(reinterpret_cast<const NMLVFINDITEMW&>(header)); return true;
    case NM_CUSTOMDRAW: *result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(notification)); return true;
    default: return false;
    }
}
