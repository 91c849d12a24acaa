#pragma once

#include "ui/DialogBase.h"
#include "ui/controls/CColourDialog.h"

// What every modal box shares (the editors, the icon picker, the about box):
// WM_INITDIALOG, OK, Cancel, then the box's own commands and messages, then
// the colouring and the reflection of draw requests to owner-drawn children.
class ModalDialog : public DialogBase, public CColourDialog {
protected:
    explicit ModalDialog(int templateId) : DialogBase(templateId) {}

    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) final;
    virtual void OnInitDialog() = 0;
    // True when OnInitDialog placed the focus itself; otherwise the system
    // gives it to the first control.
    virtual bool PlacesOwnFocus() const { return false; }
    // OK: ends with IDOK unless the box checks something first.
    virtual void OnOk() { EndDialog(hwnd(), IDOK); }
    // A command other than OK and Cancel (Cancel ends with IDCANCEL at once);
    // true when handled.
    virtual bool OnCommand(int /*id*/, int /*code*/) { return false; }
    // Any other message, before the colouring; true when handled.
    virtual bool OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) { return false; }
};
