#pragma once

#include <windows.h>

// The one base of every dialog: the static dialog procedure stores `this` on
// WM_INITDIALOG and forwards every message to HandleMessage. A handler
// returns true when it handled the message; the value to hand back to the
// system goes through SetResult. What a handler throws is caught there
// (platform/GuardedCall.h) and the message left to the system.
class DialogBase {
public:
    explicit DialogBase(int templateId) : templateId_(templateId) {}
    DialogBase(const DialogBase&) = delete;
    DialogBase& operator=(const DialogBase&) = delete;
    virtual ~DialogBase();

    // Runs the dialog modally; returns the value given to EndDialog, or -1.
    INT_PTR RunModal(HWND owner);
    // Creates the dialog modelessly; the window stays until DestroyWindow.
    HWND CreateModeless(HWND owner);

    HWND hwnd() const { return hwnd_; }
    int templateId() const { return templateId_; }

protected:
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // The result of a message whose DWLP_MSGRESULT matters (notifications);
    // also the brush of WM_CTLCOLOR* and the other directly returned results.
    void SetResult(LRESULT result) { SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result); }
    // The answer of a message whose value the dialog procedure returns itself
    // (WM_CTLCOLOR*, WM_COMPAREITEM, WM_VKEYTOITEM, WM_CHARTOITEM, WM_QUERYDRAGICON).
    void SetDirectResult(INT_PTR result)
    {
        directResult_ = result;
        hasDirectResult_ = true;
    }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    // The module whose resources hold the templates.
    static HINSTANCE Instance();

    // Called after the window is gone (WM_NCDESTROY).
    virtual void OnFinalDestroy() {}
    // The template a modeless dialog is created from when it is not the
    // resource as it stands; null for the resource.
    virtual const DLGTEMPLATE* ModelessTemplate() const { return nullptr; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static bool ReturnsResultDirectly(UINT message);

    int templateId_;
    HWND hwnd_ = nullptr;
    INT_PTR directResult_ = 0;
    bool hasDirectResult_ = false;
};
