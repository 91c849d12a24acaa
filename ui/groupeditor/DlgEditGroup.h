#pragma once

#include <string>

#include "ui/editors/EditorDialog.h"

// The editor of a group: its name and icon. Constructed with the current
// values, run modally; after a result of 1 (OK) the caller reads them back.
class DlgEditGroup : public EditorDialog {
public:
    // Add mode: no name, icon 0.
    DlgEditGroup();
    // Edit mode.
    DlgEditGroup(std::wstring name, int iconIndex);

    int mode() const { return mode_; }
    // After a result of 1.
    const std::wstring& name() const { return name_; }
    int iconIndex() const { return iconIndex_; }

private:
    void OnInitDialog() override;
    void OnOk() override;
    bool OnCommand(int id, int code) override;

    int mode_;
    std::wstring name_;
    int iconIndex_;
    int chosenIcon_ = 0;
    COwnerDrawnButton iconButton_;
};
