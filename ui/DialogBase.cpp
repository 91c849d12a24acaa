#include "ui/DialogBase.h"

#include "platform/GuardedCall.h"

DialogBase::~DialogBase()
{
    // A modeless dialog still open when its object goes: take the window with it.
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        DestroyWindow(hwnd_);
    }
}

HINSTANCE DialogBase::Instance()
{
    return GetModuleHandleW(nullptr);
}

INT_PTR DialogBase::RunModal(HWND owner)
{
    return DialogBoxParamW(Instance(), MAKEINTRESOURCEW(templateId_), owner, &DialogBase::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

HWND DialogBase::CreateModeless(HWND owner)
{
    if (const DLGTEMPLATE* from = ModelessTemplate())
        return CreateDialogIndirectParamW(Instance(), from, owner, &DialogBase::DialogProc,
                                          reinterpret_cast<LPARAM>(this));
    return CreateDialogParamW(Instance(), MAKEINTRESOURCEW(templateId_), owner, &DialogBase::DialogProc,
                              reinterpret_cast<LPARAM>(this));
}

bool DialogBase::ReturnsResultDirectly(UINT message)
{
    return (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) || message == WM_COMPAREITEM ||
           message == WM_VKEYTOITEM || message == WM_CHARTOITEM || message == WM_QUERYDRAGICON;
}

INT_PTR CALLBACK DialogBase::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogBase* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<DialogBase*>(lParam);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    } else {
        self = reinterpret_cast<DialogBase*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self)
        return FALSE;

    self->hasDirectResult_ = false;
    // A handler that throws leaves the message to the system's default.
    const bool handled =
        GuardedCall("a dialog's message handler", false, [&] { return self->HandleMessage(message, wParam, lParam); });
    if (handled && self->hasDirectResult_) {
        self->hasDirectResult_ = false;
        return self->directResult_;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
        GuardedRun("a dialog's final destroy", [self] { self->OnFinalDestroy(); });
    }
    // WM_INITDIALOG answers whether the system should set the focus.
    if (message == WM_INITDIALOG)
        return handled ? FALSE : TRUE;
    // These hand their result back directly rather than through
    // DWLP_MSGRESULT; a handler gives it through SetResult all the same.
    if (handled && ReturnsResultDirectly(message))
        return GetWindowLongPtrW(hwnd, DWLP_MSGRESULT);
    return handled ? TRUE : FALSE;
}
