#include "ui/main/PreferencesTips.h"

#include <commctrl.h>

#include "MainWindowIds.h"

namespace {

const wchar_t* const kTipSearch = L"Search for a command or more; specify the full command name or part of it only.";
const wchar_t* const kTipAutoStart = L"If checked then Quorvallis starts every time that windows boots.";
const wchar_t* const kTipEnableOnStart =
    L"If checked then Quorvallis starts in enabled state, allows to run commands. If not checked you'll have to "
    L"enable it manually in order to run commands.";
const wchar_t* const kTipFirstKey =
    L"Select the first control key, this in combination with the next one brings the dialog that accepts the "
    L"commands. You'll have to press the first and then the second control key in order to bring the dialog.";
const wchar_t* const kTipSecondKey =
    L"Select the second control key, this  in combination with the prior one brings the dialog that accepts the "
    L"commands. You'll have to press the first and then the second control key in order to bring the dialog.";

} // namespace

void PreferencesTips::Create(HWND window, HWND searchBox)
{
    if (!tips_.Create(window, L"Quorvallis", BalloonTips::Timing{900, 5000, 200}, 300))
        return;
    tips_.Add(searchBox, kTipSearch);
    tips_.Add(GetDlgItem(window, IDC_AUTO_START), kTipAutoStart);
    tips_.Add(GetDlgItem(window, IDC_ENABLE_ON_START), kTipEnableOnStart);
    const struct {
        int id;
        const wchar_t* text;
    } combos[] = {{IDC_FIRST_KEY, kTipFirstKey}, {IDC_SECOND_KEY, kTipSecondKey}};
    for (const auto& combo : combos) {
        HWND control = GetDlgItem(window, combo.id);
        tips_.Add(control, combo.text);
        // The mouse rests on the combo box inside the extended one.
        if (HWND inner = reinterpret_cast<HWND>(SendMessageW(control, CBEM_GETCOMBOCONTROL, 0, 0)))
            tips_.Add(inner, combo.text);
    }
}
