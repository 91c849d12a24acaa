#include "ui/controls/COwnerDrawMenu.h"

#include "ui/controls/HorizontalGradient.h"

#include <commctrl.h>

#include <algorithm>
#include <set>

namespace {

constexpr COLORREF kColumnLeft = RGB(238, 238, 238);
constexpr COLORREF kColumnRight = RGB(0, 0, 255);

void FillColour(HDC dc, const RECT& rect, int systemColour)
{
    FillRect(dc, &rect, GetSysColorBrush(systemColour));
}

} // namespace

COwnerDrawMenu::COwnerDrawMenu()
{
    // The 500-byte structure is the one without the padded-border field,
    // which every system version accepts.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = 500;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        menuFont_.reset(CreateFontIndirectW(&metrics.lfMenuFont));
}

COwnerDrawMenu::~COwnerDrawMenu() = default;

void COwnerDrawMenu::RegisterImageList(HMENU menu, HIMAGELIST images)
{
    images_.erase(menu);
    imageLists_[menu] = images;
}

void COwnerDrawMenu::ForgetMenu(HMENU menu)
{
    imageLists_.erase(menu);
    images_.erase(menu);
    items_.erase(menu);
    if (current_ == menu)
        current_ = nullptr;
    if (previous_ == menu)
        previous_ = nullptr;
}

size_t COwnerDrawMenu::KnownMenuCount() const
{
    std::set<HMENU> menus;
    for (const auto& entry : imageLists_)
        menus.insert(entry.first);
    for (const auto& entry : items_)
        menus.insert(entry.first);
    return menus.size();
}

size_t COwnerDrawMenu::ItemRecordCount() const
{
    size_t count = 0;
    for (const auto& entry : items_)
        count += entry.second.size();
    return count;
}

void COwnerDrawMenu::AddImage(HMENU menu, UINT commandId, int imageIndex)
{
    if (imageLists_.find(menu) == imageLists_.end())
        return;
    images_[menu][commandId] = imageIndex;
}

int COwnerDrawMenu::ImageOf(HMENU menu, UINT commandId) const
{
    auto byMenu = images_.find(menu);
    if (byMenu == images_.end())
        return -1;
    auto byId = byMenu->second.find(commandId);
    return byId == byMenu->second.end() ? -1 : byId->second;
}

const COwnerDrawMenu::Item* COwnerDrawMenu::FindItem(ULONG_PTR data) const
{
    if (!data)
        return nullptr;
    for (const auto& menu : items_) {
        for (const auto& item : menu.second) {
            if (reinterpret_cast<ULONG_PTR>(item.get()) == data)
                return item.get();
        }
    }
    return nullptr;
}

void COwnerDrawMenu::ForgetDestroyedMenus()
{
    std::vector<HMENU> gone;
    for (const auto& entry : imageLists_)
        if (!IsMenu(entry.first))
            gone.push_back(entry.first);
    for (const auto& entry : items_)
        if (!IsMenu(entry.first))
            gone.push_back(entry.first);
    for (HMENU menu : gone)
        ForgetMenu(menu);
}

void COwnerDrawMenu::MakeOwnerDrawn(HMENU menu)
{
    ForgetDestroyedMenus();
    // One record per position: a record whose item is still ours is kept, one
    // whose item was replaced (ModifyMenu of the toggle item) goes.
    std::vector<std::unique_ptr<Item>> old = std::move(items_[menu]);
    std::vector<std::unique_ptr<Item>> records;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        wchar_t text[512] = L"";
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = static_cast<UINT>(sizeof(text) / sizeof(text[0]));
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info))
            continue;
        const bool separator = (info.fType & MFT_SEPARATOR) != 0;
        auto known = std::find_if(old.begin(), old.end(), [&](const std::unique_ptr<Item>& item) {
            return item && reinterpret_cast<ULONG_PTR>(item.get()) == info.dwItemData;
        });
        if ((info.fType & MFT_OWNERDRAW) && known != old.end()) {
            // Only a text changed since (SetMenuItemInfo) is taken over.
            if (!separator && text[0] != L'\0')
                (*known)->text = text;
            records.push_back(std::move(*known));
            continue;
        }
        auto item = std::make_unique<Item>();
        item->separator = separator;
        if (!separator)
            item->text = text;
        MENUITEMINFOW update{};
        update.cbSize = sizeof(update);
        update.fMask = MIIM_FTYPE | MIIM_DATA;
        update.fType = info.fType | MFT_OWNERDRAW;
        update.dwItemData = reinterpret_cast<ULONG_PTR>(item.get());
        if (SetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &update))
            records.push_back(std::move(item));
    }
    items_[menu] = std::move(records);
}

void COwnerDrawMenu::MeasureItem(HWND owner, MEASUREITEMSTRUCT* measure) const
{
    const Item* item = FindItem(measure->itemData);
    if (!item || item->separator) {
        measure->itemWidth = 32;
        measure->itemHeight = 8;
        return;
    }
    ScopedWindowDc dc(owner);
    RECT bounds{0, 0, 0, 0};
    if (dc.get()) {
        ScopedSelectObject font(dc.get(),
                                menuFont_ ? static_cast<HGDIOBJ>(menuFont_.get()) : GetStockObject(DEFAULT_GUI_FONT));
        DrawTextW(dc.get(), item->text.c_str(), static_cast<int>(item->text.size()), &bounds,
                  DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
    }
    const int textHeight = bounds.bottom - bounds.top;
    measure->itemWidth = static_cast<UINT>(bounds.right - bounds.left + 46);
    measure->itemHeight = static_cast<UINT>(textHeight <= 16 ? 20 : textHeight + 4);
}

void COwnerDrawMenu::DrawItem(const DRAWITEMSTRUCT& draw) const
{
    const Item* item = FindItem(draw.itemData);
    if (!item)
        return;
    HDC dc = draw.hDC;
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    const bool greyed = (draw.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const bool checked = (draw.itemState & ODS_CHECKED) != 0;
    RECT column = draw.rcItem;
    column.right = column.left + kIconColumnWidth;
    RECT textArea = draw.rcItem;
    textArea.left = column.right;

    if (item->separator) {
        FillHorizontalGradient(dc, column, kColumnLeft, kColumnRight);
        FillColour(dc, textArea, COLOR_MENU);
        RECT line = textArea;
        line.left += 6;
        line.top += (textArea.bottom - textArea.top) / 2;
        line.bottom = line.top + 2;
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }

    const bool lit = selected && !greyed;
    if (lit)
        FillColour(dc, column, COLOR_HIGHLIGHT);
    else
        FillHorizontalGradient(dc, column, kColumnLeft, kColumnRight);

    HMENU menu = reinterpret_cast<HMENU>(draw.hwndItem);
    const int image = ImageOf(menu, draw.itemID);
    auto list = imageLists_.find(menu);
    if (image >= 0 || checked) {
        if (checked && !selected) {
            RECT edge = column;
            DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
        }
        if (image >= 0 && list != imageLists_.end() && list->second)
            ImageList_Draw(list->second, image, dc, column.left + 4, column.top + 2, ILD_TRANSPARENT);
        // A check item without a picture shows the check itself.
        if (image < 0) {
            RECT mark{column.left + 4, column.top + 2, column.left + 20, column.top + 18};
            DrawFrameControl(dc, &mark, DFC_MENU, DFCS_MENUCHECK);
        }
    }

    FillColour(dc, textArea, lit ? COLOR_HIGHLIGHT : COLOR_MENU);
    textArea.left += 6;
    textArea.right -= 16;

    std::wstring label = item->text;
    std::wstring accelerator;
    const size_t tab = label.find(L'\t');
    if (tab != std::wstring::npos) {
        accelerator = label.substr(tab + 1);
        label.resize(tab);
    }
    ScopedSelectObject font(dc, menuFont_ ? static_cast<HGDIOBJ>(menuFont_.get()) : GetStockObject(DEFAULT_GUI_FONT));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = GetTextColor(dc);
    auto drawText = [&](const RECT& area) {
        RECT left = area;
        DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &left, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        if (!accelerator.empty()) {
            RECT right = area;
            DrawTextW(dc, accelerator.c_str(), static_cast<int>(accelerator.size()), &right,
                      DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
        }
    };
    if (greyed) {
        if (!selected) {
            RECT shifted = textArea;
            OffsetRect(&shifted, 1, 1);
            SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
            drawText(shifted);
        }
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    } else {
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    }
    drawText(textArea);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);

    if (selected) {
        UniqueGdi<HBRUSH> black(CreateSolidBrush(RGB(0, 0, 0)));
        FrameRect(dc, &draw.rcItem, black.get());
    }
}

wchar_t COwnerDrawMenu::Mnemonic(const std::wstring& text)
{
    for (size_t at = 0; at + 1 < text.size(); ++at) {
        if (text[at] != L'&')
            continue;
        if (text[at + 1] != L'&')
            return text[at + 1];
        ++at; // "&&" is a plain ampersand
    }
    return 0;
}

LRESULT COwnerDrawMenu::AnswerMenuChar(HMENU menu, wchar_t key) const
{
    if (items_.find(menu) == items_.end() || key == 0)
        return 0;
    // CharUpperW takes a single character in the pointer's low word.
    const auto upper = [](wchar_t c) {
        return static_cast<wchar_t>(
            reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
    };
    std::vector<int> matches;
    int lit = -1;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA | MIIM_STATE;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info))
            continue;
        if (info.fState & MFS_HILITE)
            lit = position;
        const Item* item = FindItem(info.dwItemData);
        if (item && !item->separator && !(info.fState & MFS_DISABLED) && Mnemonic(item->text) != 0 &&
            upper(Mnemonic(item->text)) == upper(key))
            matches.push_back(position);
    }
    if (matches.empty())
        return 0;
    if (matches.size() == 1)
        return MAKELRESULT(matches.front(), MNC_EXECUTE);
    // Several share the letter: each press moves on to the next, as the
    // system does for its own items.
    auto next = std::upper_bound(matches.begin(), matches.end(), lit);
    return MAKELRESULT(next == matches.end() ? matches.front() : *next, MNC_SELECT);
}

bool COwnerDrawMenu::HandleMenuMessage(HWND owner, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (message) {
    case WM_INITMENUPOPUP: {
        HMENU menu = reinterpret_cast<HMENU>(wParam);
        previous_ = current_;
        current_ = menu;
        MakeOwnerDrawn(menu);
        return false;
    }
    case WM_UNINITMENUPOPUP: current_ = previous_; return false;
    case WM_EXITMENULOOP:
        current_ = nullptr;
        previous_ = nullptr;
        return false;
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (!measure || measure->CtlType != ODT_MENU || !FindItem(measure->itemData))
            return false;
        MeasureItem(owner, measure);
        *result = TRUE;
        return true;
    }
    case WM_DRAWITEM: {
        const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (!draw || draw->CtlType != ODT_MENU || !FindItem(draw->itemData))
            return false;
        DrawItem(*draw);
        *result = TRUE;
        return true;
    }
    case WM_MENUCHAR: {
        const LRESULT answer = AnswerMenuChar(reinterpret_cast<HMENU>(lParam), static_cast<wchar_t>(LOWORD(wParam)));
        if (answer == 0)
            return false;
        *result = answer;
        return true;
    }
    default: return false;
    }
}
