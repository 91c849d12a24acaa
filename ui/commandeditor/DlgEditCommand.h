#pragma once

#include <string>
#include <vector>

#include "catalogue/CommandGroup.h"
#include "ui/editors/EditorDialog.h"

// The editor of a regular command: name, shortcut, type, command text,
// notes, icon and group. The caller constructs it with the current values,
// gives it the catalogue's top-level groups, runs it, and after a result of
// 1 (OK) reads the values back; 2 is Cancel. It never touches the catalogue.
class DlgEditCommand : public EditorDialog {
public:
    // Add mode: a new command for the group `groupId`.
    explicit DlgEditCommand(int groupId);
    // Edit mode: the command's current values.
    DlgEditCommand(int typeCode, int iconIndex, int groupId, std::wstring name, std::wstring notes,
                   std::wstring shortcut, std::wstring commandText);

    // Add mode with the fields filled in (a command made from a program);
    // before the run.
    void Suggest(int typeCode, std::wstring name, std::wstring shortcut, std::wstring commandText);

    // The catalogue's top-level groups; before the run.
    void SetGroups(std::vector<GroupPtr> groups) { groups_ = std::move(groups); }

    int mode() const { return mode_; }
    // After a result of 1: the single step's type and text, and the record's fields.
    int typeCode() const { return typeCode_; }
    const std::wstring& commandText() const { return commandText_; }
    const std::wstring& name() const { return name_; }
    const std::wstring& notes() const { return notes_; }
    const std::wstring& shortcut() const { return shortcut_; }
    int iconIndex() const { return iconIndex_; }
    int groupId() const { return groupId_; }

private:
    void OnInitDialog() override;
    void OnOk() override;
    bool OnCommand(int id, int code) override;
    // Rebuilds the command field for the chosen type; what it held is lost.
    void ApplyType();
    void OnTypeChosen();
    void OnBrowse();

    int mode_;
    bool suggested_ = false;
    int typeCode_ = 1;
    int iconIndex_ = 0;
    int groupId_;
    std::wstring name_;
    std::wstring notes_;
    std::wstring shortcut_;
    std::wstring commandText_;
    std::vector<GroupPtr> groups_;

    // What the user has chosen so far; the members above change only on OK.
    int chosenType_ = 1;
    int chosenIcon_ = 0;
    // The type list's item whose field is shown; -1 for a stored type the
    // list does not offer.
    int shownItem_ = -1;

    ImageCombo typeCombo_;
    ImageCombo groupCombo_;
    COwnerDrawnButton browse_;
    COwnerDrawnButton iconButton_;
    HWND field_ = nullptr;
    RECT fieldRect_{};
};
