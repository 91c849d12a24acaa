#include "ui/about/DlgAbout.h"

#include "ArtworkIds.h"
#include "QuorvallisVersion.h"

DlgAbout::DlgAbout(DWORD fadeMilliseconds)
    : DialogBase(IDD_QV_ABOUT), fadeMilliseconds_(fadeMilliseconds)
{
}

bool DlgAbout::OnInitDialog()
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
    return true;
}

bool DlgAbout::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        // Handled: the focus stays where OnInitDialog put it.
        return OnInitDialog();
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            if (fadeMilliseconds_ > 0)
                AnimateWindow(hwnd(), fadeMilliseconds_, AW_HIDE | AW_BLEND);
            EndDialog(hwnd(), IDOK);
            return true;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            // Escape and the close box just close the box, without the fade.
            EndDialog(hwnd(), IDCANCEL);
            return true;
        }
        break;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == link_.hwnd()) {
            SetDirectResult(reinterpret_cast<INT_PTR>(
                link_.OnColour(reinterpret_cast<HDC>(wParam), colours_.BackgroundBrush())));
            return true;
        }
        break;
    default:
        break;
    }
    INT_PTR result = 0;
    if (!colours_.RouteMessage(hwnd(), message, wParam, lParam, &result))
        return false;
    SetDirectResult(result);
    return true;
}
