#include "ui/about/DlgAbout.h"

#include "ArtworkIds.h"
#include "QuorvallisVersion.h"

DlgAbout::DlgAbout(DWORD fadeMilliseconds) : ModalDialog(IDD_QV_ABOUT), fadeMilliseconds_(fadeMilliseconds)
{
}

void DlgAbout::OnInitDialog()
{
    banner_.Attach(hwnd(), IDC_QV_BANNER);
    banner_.SetTitle(L"About", L"About Quorvallis.");
    banner_.SetIcon(IDI_QV_PROGRAM);

    ok_.Attach(hwnd(), IDOK);
    ok_.SetRounded(true);
    ok_.SetIconResource(IDI_QV_OK);

    SetDlgItemTextW(hwnd(), IDC_QV_ABOUT_TEXT,
                    L"Quorvallis " QUORVALLIS_VERSION_TEXT L" \u2014 made by the Quorvallis developers.");
    link_.Attach(hwnd(), IDC_QV_ABOUT_LINK, kWebSite);
    // The link is the first tab stop; with the focus there Enter would open
    // the web site instead of closing the box.
    SetFocus(ok_.hwnd());
}

void DlgAbout::OnOk()
{
    if (fadeMilliseconds_ > 0)
        AnimateWindow(hwnd(), fadeMilliseconds_, AW_HIDE | AW_BLEND);
    // Escape and the close box just close the box, without the fade.
    EndDialog(hwnd(), IDOK);
}

bool DlgAbout::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_CTLCOLORSTATIC || reinterpret_cast<HWND>(lParam) != link_.hwnd())
        return false;
    SetDirectResult(reinterpret_cast<INT_PTR>(link_.OnColour(reinterpret_cast<HDC>(wParam), BackgroundBrush())));
    return true;
}
