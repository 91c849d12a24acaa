#include "ui/iconpicker/DlgSelectIcon.h"

#include <commctrl.h>

#include <string>

#include "ArtworkIds.h"

DlgSelectIcon::DlgSelectIcon() : ModalDialog(IDD_QV_SELECT_ICON)
{
}

void DlgSelectIcon::OnInitDialog()
{
    list_ = Item(IDC_QV_ICON_LIST);
    icons_.Build(IDB_QV_ICON_SET, 4);

    banner_.Attach(hwnd(), IDC_QV_BANNER);
    banner_.SetTitle(L"Select an icon", L"Pick an icon from the list and click OK to set it");
    banner_.SetIcon(IDI_QV_BANNER);
    ok_.Attach(hwnd(), IDOK);
    ok_.SetIconResource(IDI_QV_OK);
    cancel_.Attach(hwnd(), IDCANCEL);
    cancel_.SetIconResource(IDI_QV_CANCEL);
    SetWindowTextW(hwnd(), L"Select an icon...");

    if (!list_)
        return;
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE | LVS_EX_UNDERLINEHOT);
    ListView_SetImageList(list_, icons_.get(), LVSIL_SMALL);
    const int count = icons_.Count();
    for (int i = 0; i < count; ++i) {
        std::wstring label = std::to_wstring(i);
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = i;
        item.pszText = &label[0];
        item.iImage = i;
        item.lParam = i;
        ListView_InsertItem(list_, &item);
    }
}

void DlgSelectIcon::OnOk()
{
    const int selected = list_ ? ListView_GetNextItem(list_, -1, LVNI_SELECTED) : -1;
    pickedIndex_ = -1;
    if (selected >= 0) {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = selected;
        pickedIndex_ = ListView_GetItem(list_, &item) ? static_cast<int>(item.lParam) : selected;
    }
    EndDialog(hwnd(), IDOK);
}
