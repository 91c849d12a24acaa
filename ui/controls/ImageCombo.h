#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

// An extended combo box of a dialog template ("ComboBoxEx32", drop-down
// list) whose items carry a text, a picture of the dialog's image list, an
// indent and item data. Texts are handed over whole, however long.
class ImageCombo {
public:
    bool Attach(HWND dialog, int controlId);
    HWND hwnd() const { return window_; }

    // The list stays the dialog's.
    void SetImageList(HIMAGELIST images);
    // Appends an item; its position, or -1 when it could not be added.
    int Append(const std::wstring& text, int image, int indent, LPARAM data);
    int Count() const;
    // -1 leaves no item selected.
    void Select(int index);
    // The selected position, or -1.
    int Selected() const;
    LPARAM DataAt(int index) const;
    // Makes room for `count` more items before a long fill.
    void Reserve(int count);

private:
    HWND window_ = nullptr;
};
