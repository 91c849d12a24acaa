#include "ui/scripteditor/StepListView.h"

#include <algorithm>
#include <map>
#include <string>

#include "ui/editing/StepTypeTable.h"

namespace {

constexpr int kTypeColumnWidth = 120;
constexpr int kCommandColumnWidth = 420;
constexpr int kTypeHeaderImage = 2;
constexpr int kCommandHeaderImage = 20;

void AddColumn(HWND list, int index, const wchar_t* title, int width, int image)
{
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_IMAGE | LVCF_FMT;
    column.fmt = LVCFMT_LEFT | LVCFMT_IMAGE;
    column.pszText = const_cast<wchar_t*>(title);
    column.cx = width;
    column.iImage = image;
    ListView_InsertColumn(list, index, &column);
}

BYTE Clamp(int value)
{
    return static_cast<BYTE>(std::min(255, std::max(0, value)));
}

COLORREF Shifted(COLORREF colour, int by)
{
    return RGB(Clamp(GetRValue(colour) + by), Clamp(GetGValue(colour) + by), Clamp(GetBValue(colour) + by));
}

// The colour the list really paints with, for the default markers too.
COLORREF Effective(COLORREF colour, int systemColour)
{
    return colour == CLR_DEFAULT || colour == CLR_NONE ? GetSysColor(systemColour) : colour;
}

} // namespace

bool StepListView::Attach(HWND dialog, int controlId, HIMAGELIST images)
{
    window_ = GetDlgItem(dialog, controlId);
    if (!window_)
        return false;
    ListView_SetExtendedListViewStyle(window_, LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP);
    ListView_SetImageList(window_, images, LVSIL_SMALL);
    AddColumn(window_, 0, L"Type", kTypeColumnWidth, kTypeHeaderImage);
    AddColumn(window_, 1, L"Command", kCommandColumnWidth, kCommandHeaderImage);
    return true;
}

void StepListView::Fill(const QuorvallisCommand& command)
{
    SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(window_);
    ListView_SetItemCount(window_, static_cast<int>(command.steps.size()));
    for (const StepPtr& step : command.steps) {
        if (step)
            Append(*step);
    }
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window_, nullptr, TRUE);
}

void StepListView::Append(const QuorvallisScriptStep& step)
{
    WriteCells(Count(), step, true);
}

void StepListView::Write(int row, const QuorvallisScriptStep& step)
{
    WriteCells(row, step, false);
}

void StepListView::WriteCells(int row, const QuorvallisScriptStep& step, bool insert)
{
    std::wstring typeText = StepTypeTable::ListLabel(step.type);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = row;
    item.pszText = &typeText[0];
    const int image = StepTypeTable::Image(step.type);
    item.iImage = image >= 0 ? image : I_IMAGENONE;
    item.lParam = step.id;
    if (insert)
        item.iItem = ListView_InsertItem(window_, &item);
    else
        ListView_SetItem(window_, &item);
    std::wstring text = step.text;
    LVITEMW cell{};
    cell.mask = LVIF_TEXT | LVIF_IMAGE;
    cell.iItem = item.iItem;
    cell.iSubItem = 1;
    cell.pszText = &text[0];
    cell.iImage = I_IMAGENONE;
    ListView_SetItem(window_, &cell);
}

void StepListView::Remove(int row)
{
    ListView_DeleteItem(window_, row);
}

int StepListView::Count() const
{
    return ListView_GetItemCount(window_);
}

bool StepListView::IsSelected(int row) const
{
    return ListView_GetItemState(window_, row, LVIS_SELECTED) != 0;
}

int StepListView::FirstSelected() const
{
    return ListView_GetNextItem(window_, -1, LVNI_SELECTED);
}

int StepListView::StepIdAt(int row) const
{
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    return ListView_GetItem(window_, &item) ? static_cast<int>(item.lParam) : -1;
}

std::vector<StepRow> StepListView::Rows() const
{
    std::vector<StepRow> rows;
    const int count = Count();
    const int focused = ListView_GetNextItem(window_, -1, LVNI_FOCUSED);
    const int marked = ListView_GetSelectionMark(window_);
    rows.reserve(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row)
        rows.push_back(StepRow{StepIdAt(row), IsSelected(row), row == focused, row == marked});
    return rows;
}

void StepListView::SetSelected(int row, bool selected)
{
    ListView_SetItemState(window_, row, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

void StepListView::Show(const std::vector<StepRow>& rows, const QuorvallisCommand& command)
{
    std::map<int, const QuorvallisScriptStep*> steps;
    for (const StepPtr& step : command.steps) {
        if (step)
            steps.emplace(step->id, step.get());
    }
    const std::vector<StepRow> shown = Rows();
    for (size_t row = 0; row < rows.size() && row < shown.size(); ++row) {
        const int index = static_cast<int>(row);
        if (rows[row].stepId != shown[row].stepId) {
            auto step = steps.find(rows[row].stepId);
            if (step != steps.end())
                Write(index, *step->second);
        }
        if (rows[row].selected != shown[row].selected)
            SetSelected(index, rows[row].selected);
        if (rows[row].focused && !shown[row].focused)
            ListView_SetItemState(window_, index, LVIS_FOCUSED, LVIS_FOCUSED);
    }
    // After the focus: a list may set its mark along with a first focus.
    for (size_t row = 0; row < rows.size() && row < shown.size(); ++row) {
        if (rows[row].marked && !shown[row].marked)
            ListView_SetSelectionMark(window_, static_cast<int>(row));
    }
}

LRESULT StepListView::OnCustomDraw(NMLVCUSTOMDRAW* draw) const
{
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const COLORREF background = Effective(ListView_GetTextBkColor(window_), COLOR_WINDOW);
        const COLORREF text = Effective(ListView_GetTextColor(window_), COLOR_WINDOWTEXT);
        const bool even = draw->nmcd.dwItemSpec % 2 == 0;
        draw->clrTextBk = even ? Shifted(background, -15) : background;
        draw->clrText = even ? Shifted(text, 60) : text;
        return CDRF_DODEFAULT;
    }
    default: return CDRF_DODEFAULT;
    }
}
