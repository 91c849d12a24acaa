#pragma once

#include "platform/win32/UniqueHandle.h"
#include "ui/ModalDialog.h"
#include "ui/controls/COwnerDrawnButton.h"
#include "ui/controls/HeaderCtrl.h"
#include "ui/controls/IconSet.h"

// The icon picker: every picture of the small icon set in a list; OK hands
// back the index of the selected one (-1 with none selected).
class DlgSelectIcon : public ModalDialog {
public:
    DlgSelectIcon();

    // Valid after RunModal returned 1.
    int pickedIndex() const { return pickedIndex_; }

    const IconSet& icons() const { return icons_; }

private:
    void OnInitDialog() override;
    void OnOk() override;

    int pickedIndex_ = -1;
    HWND list_ = nullptr;
    IconSet icons_;
    HeaderCtrl banner_;
    COwnerDrawnButton ok_;
    COwnerDrawnButton cancel_;
};
