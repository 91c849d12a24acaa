#include "ui/ModalDialog.h"

bool ModalDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        // Handled only when the box placed the focus itself.
        return PlacesOwnFocus();
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            OnOk();
            return true;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(hwnd(), IDCANCEL);
            return true;
        }
        if (OnCommand(LOWORD(wParam), HIWORD(wParam)))
            return true;
        break;
    default:
        if (OnMessage(message, wParam, lParam))
            return true;
        break;
    }
    INT_PTR result = 0;
    if (!RouteMessage(hwnd(), message, wParam, lParam, &result))
        return false;
    SetDirectResult(result);
    return true;
}
