#include "ui/controls/CColourDialog.h"

CColourDialog::CColourDialog() : background_(CreateSolidBrush(kBackground))
{
}

CColourDialog::~CColourDialog() = default;

HWND CColourDialog::ChildOf(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DRAWITEM:
        return lParam && reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->CtlType != ODT_MENU
                   ? reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem
                   : nullptr;
    case WM_MEASUREITEM:
        // Menus have no window; list and combo boxes are found by id.
        return lParam && reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->CtlType != ODT_MENU
                   ? GetDlgItem(dialog, static_cast<int>(wParam))
                   : nullptr;
    case WM_COMPAREITEM: return lParam ? reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_DELETEITEM: return lParam ? reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_NOTIFY: return lParam ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_COMMAND: return reinterpret_cast<HWND>(lParam);
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR: return reinterpret_cast<HWND>(lParam);
    case WM_PARENTNOTIFY: {
        const UINT event = LOWORD(wParam);
        if (event == WM_CREATE || event == WM_DESTROY)
            return reinterpret_cast<HWND>(lParam);
        return nullptr;
    }
    default: return nullptr;
    }
}

bool CColourDialog::RouteMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) const
{
    switch (message) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        *result = reinterpret_cast<INT_PTR>(background_.get());
        return true;
    default: break;
    }
    HWND child = ChildOf(dialog, message, wParam, lParam);
    if (!child || child == dialog || GetParent(child) != dialog)
        return false;
    const LRESULT answer = SendMessageW(child, message + kReflectOffset, wParam, lParam);
    // A child that does not know the reflected message answers 0: leave the
    // message to the dialog manager then.
    if (answer == 0)
        return false;
    switch (message) {
    case WM_COMPAREITEM:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR: *result = static_cast<INT_PTR>(answer); return true;
    default:
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, answer);
        *result = TRUE;
        return true;
    }
}
