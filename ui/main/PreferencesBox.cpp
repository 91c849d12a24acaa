#include "ui/main/PreferencesBox.h"

#include "MainWindowIds.h"
#include "catalogue/QuorvallisCommands.h"
#include "store/CatalogueFile.h"

#include <commctrl.h>

#include <iterator>

const PreferencesBox::KeyChoice PreferencesBox::kKeyChoices[13] = {
    {L"Ctrl", VK_CONTROL}, {L"Shift", VK_SHIFT}, {L"F2", VK_F2},   {L"F3", VK_F3}, {L"F4", VK_F4},
    {L"F5", VK_F5},        {L"F6", VK_F6},       {L"F7", VK_F7},   {L"F8", VK_F8}, {L"F9", VK_F9},
    {L"F10", VK_F10},      {L"F11", VK_F11},     {L"F12", VK_F12},
};

PreferencesBox::PreferencesBox(QuorvallisCommands& catalogue, IRegistry& registry, std::wstring programPath)
    : catalogue_(catalogue),
      registry_(registry),
      programPath_(std::move(programPath))
{
}

void PreferencesBox::Show(HWND dialog)
{
    dialog_ = dialog;
    FillKeyCombo(IDC_FIRST_KEY, catalogue_.firstControlKey);
    FillKeyCombo(IDC_SECOND_KEY, catalogue_.secondControlKey);
    CheckDlgButton(dialog_, IDC_ENABLE_ON_START, catalogue_.enableOnStart ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog_, IDC_AUTO_START, catalogue_.autoStart ? BST_CHECKED : BST_UNCHECKED);
}

void PreferencesBox::FillKeyCombo(int comboId, unsigned selectedKey) const
{
    HWND combo = GetDlgItem(dialog_, comboId);
    int selected = -1;
    for (const KeyChoice& choice : kKeyChoices) {
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_TEXT | CBEIF_LPARAM;
        item.iItem = -1;
        item.pszText = const_cast<wchar_t*>(choice.text);
        item.lParam = choice.virtualKey;
        const LRESULT index = SendMessageW(combo, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        if (choice.virtualKey == selectedKey)
            selected = static_cast<int>(index);
    }
    // A stored key that is not offered leaves the combo empty; it stays in
    // force until the user picks one.
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

bool PreferencesBox::OnCommand(UINT id, UINT code, bool& changed)
{
    changed = false;
    switch (id) {
    case IDC_AUTO_START:
        if (code == BN_CLICKED) {
            const bool wanted = IsDlgButtonChecked(dialog_, IDC_AUTO_START) == BST_CHECKED;
            // The box shows what is in force: a Run value that cannot be
            // written (or removed) leaves the box as the system has it.
            const bool inForce = SetAutoStart(wanted, catalogue_, registry_, programPath_);
            CheckDlgButton(dialog_, IDC_AUTO_START, inForce ? BST_CHECKED : BST_UNCHECKED);
            changed = true;
        }
        return true;
    case IDC_ENABLE_ON_START:
        if (code == BN_CLICKED) {
            const auto lock = catalogue_.Lock();
            catalogue_.enableOnStart = IsDlgButtonChecked(dialog_, IDC_ENABLE_ON_START) == BST_CHECKED;
            changed = true;
        }
        return true;
    case IDC_FIRST_KEY:
    case IDC_SECOND_KEY:
        if (code == CBN_SELENDOK) {
            const LRESULT index = SendDlgItemMessageW(dialog_, static_cast<int>(id), CB_GETCURSEL, 0, 0);
            if (index >= 0 && index < static_cast<LRESULT>(std::size(kKeyChoices))) {
                const unsigned key = kKeyChoices[index].virtualKey;
                (id == IDC_FIRST_KEY ? catalogue_.firstControlKey : catalogue_.secondControlKey) = key;
                changed = true;
            }
        }
        return true;
    default: return false;
    }
}
