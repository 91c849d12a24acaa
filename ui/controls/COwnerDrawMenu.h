#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/UniqueHandle.h"

// Popup menus drawn with an icon column. The window that shows the menus
// registers an image list per menu, names each item's image, and passes its
// menu messages (WM_INITMENUPOPUP, WM_UNINITMENUPOPUP, WM_EXITMENULOOP,
// WM_MEASUREITEM, WM_DRAWITEM, WM_MENUCHAR) to HandleMenuMessage. Owner-drawn
// items get no mnemonics from the system: WM_MENUCHAR answers them.
class COwnerDrawMenu {
public:
    static constexpr int kIconColumnWidth = 24;

    COwnerDrawMenu();
    COwnerDrawMenu(const COwnerDrawMenu&) = delete;
    COwnerDrawMenu& operator=(const COwnerDrawMenu&) = delete;
    ~COwnerDrawMenu();

    // The image list stays the caller's. A new registration for a handle
    // starts afresh: the handle may belong to a new menu by now.
    void RegisterImageList(HMENU menu, HIMAGELIST images);
    // Does nothing when no image list is registered for `menu`; replaces the
    // image an item had.
    void AddImage(HMENU menu, UINT commandId, int imageIndex);
    // Drops everything known about `menu`; call it when the menu is destroyed,
    // before the system hands its handle to another menu.
    void ForgetMenu(HMENU menu);

    // Returns true when the message was answered (*result then holds the
    // answer); the popup open/close messages also return false so that their
    // default handling runs.
    bool HandleMenuMessage(HWND owner, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    HMENU currentMenu() const { return current_; }
    // The image index of an item, or -1.
    int ImageOf(HMENU menu, UINT commandId) const;
    // How many menus and item records are kept (they must not pile up).
    size_t KnownMenuCount() const;
    size_t ItemRecordCount() const;

    // Marks every item of `menu` owner-drawn, keeping the texts.
    void MakeOwnerDrawn(HMENU menu);
    void MeasureItem(HWND owner, MEASUREITEMSTRUCT* item) const;
    void DrawItem(const DRAWITEMSTRUCT& item) const;
    // The answer to WM_MENUCHAR for a key: the item whose underlined letter
    // it is chosen (or, with several, the next of them selected); 0 when no
    // item of ours has it.
    LRESULT AnswerMenuChar(HMENU menu, wchar_t key) const;
    // The letter after the single "&" of an item text, or 0.
    static wchar_t Mnemonic(const std::wstring& text);

private:
    struct Item {
        std::wstring text;
        bool separator = false;
    };

    const Item* FindItem(ULONG_PTR data) const;
    void ForgetDestroyedMenus();

    UniqueGdi<HFONT> menuFont_;
    std::map<HMENU, HIMAGELIST> imageLists_;
    std::map<HMENU, std::map<UINT, int>> images_;
    // Item records handed to the system as item data, per menu, one per
    // item position.
    std::map<HMENU, std::vector<std::unique_ptr<Item>>> items_;
    HMENU current_ = nullptr;
    HMENU previous_ = nullptr;
};
