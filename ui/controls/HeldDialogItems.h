#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// An extended dialog template from the resources with some of its items
// held back: the dialog is created from the rest, and the held items are
// created into it later, as the dialog manager would have created them
// (class, text, styles, place, size, font, tab order). Under Wine a
// drop-down combo box costs tens of milliseconds to create, which a window
// that starts hidden need not spend before it first waits for input.
class HeldDialogItems {
public:
    // Reads the template; ids that name no item are ignored. A template
    // that cannot be read holds nothing back (Template() is null).
    HeldDialogItems(HINSTANCE instance, int templateId, std::initializer_list<int> heldIds);

    // The template without the held items, or null to create the dialog from
    // the resource as it stands.
    const DLGTEMPLATE* Template() const;
    // Creates the held items into the dialog, once; later calls do nothing.
    void CreateInto(HWND dialog);
    bool IsHolding() const { return !held_.empty(); }

private:
    struct Item {
        DWORD exStyle = 0;
        DWORD style = 0;
        short x = 0, y = 0, cx = 0, cy = 0;
        DWORD id = 0;
        std::wstring className;
        std::wstring text;    // a resource ordinal is kept as 0xFFFF and the number
        DWORD previousId = 0; // the item before it in the template
        bool first = false;   // it was the template's first item
    };

    bool Split(const std::uint8_t* data, std::size_t size, const std::vector<int>& heldIds);

    std::vector<DWORD> rest_; // DWORD storage: templates must be DWORD-aligned
    std::vector<Item> held_;
};
