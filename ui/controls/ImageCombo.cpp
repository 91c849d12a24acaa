#include "ui/controls/ImageCombo.h"

bool ImageCombo::Attach(HWND dialog, int controlId)
{
    window_ = GetDlgItem(dialog, controlId);
    return window_ != nullptr;
}

void ImageCombo::SetImageList(HIMAGELIST images)
{
    SendMessageW(window_, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
}

int ImageCombo::Append(const std::wstring& text, int image, int indent, LPARAM data)
{
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_INDENT | CBEIF_LPARAM;
    item.iItem = -1;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.iImage = image;
    item.iSelectedImage = image;
    item.iIndent = indent;
    item.lParam = data;
    return static_cast<int>(SendMessageW(window_, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

int ImageCombo::Count() const
{
    return static_cast<int>(SendMessageW(window_, CB_GETCOUNT, 0, 0));
}

void ImageCombo::Select(int index)
{
    SendMessageW(window_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int ImageCombo::Selected() const
{
    const LRESULT selected = SendMessageW(window_, CB_GETCURSEL, 0, 0);
    return selected == CB_ERR ? -1 : static_cast<int>(selected);
}

LPARAM ImageCombo::DataAt(int index) const
{
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_LPARAM;
    item.iItem = index;
    if (!SendMessageW(window_, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return -1;
    return item.lParam;
}

void ImageCombo::Reserve(int count)
{
    // The extended combo keeps its own item records; its inner combo box
    // holds one entry per item and is what grows item by item.
    HWND inner = reinterpret_cast<HWND>(SendMessageW(window_, CBEM_GETCOMBOCONTROL, 0, 0));
    if (inner)
        SendMessageW(inner, CB_INITSTORAGE, static_cast<WPARAM>(count), 0);
}
