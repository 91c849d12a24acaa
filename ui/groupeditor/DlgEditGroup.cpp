#include "ui/groupeditor/DlgEditGroup.h"

#include "ArtworkIds.h"
#include "EditorIds.h"
#include "ui/editing/EditorChecks.h"

DlgEditGroup::DlgEditGroup() : EditorDialog(IDD_QV_EDIT_GROUP), mode_(kAddMode), iconIndex_(0)
{
}

DlgEditGroup::DlgEditGroup(std::wstring name, int iconIndex)
    : EditorDialog(IDD_QV_EDIT_GROUP),
      mode_(kEditMode),
      name_(std::move(name)),
      iconIndex_(iconIndex)
{
}

void DlgEditGroup::OnInitDialog()
{
    const bool adding = mode_ == kAddMode;
    chosenIcon_ = iconIndex_;
    SetUpFrame(adding ? L"Add group" : L"Edit group", adding ? L"Add a new group" : L"Edit the group",
               adding ? IDI_QV_ADD_GROUP : IDI_QV_EDIT_GROUP);
    AttachImageButton(iconButton_, IDC_QV_ICON_BUTTON, chosenIcon_);
    SetWindowTextW(hwnd(), adding ? L"Add new group..." : L"Edit the group...");
    if (!adding)
        SetDlgItemTextW(hwnd(), IDC_QV_NAME, name_.c_str());
}

void DlgEditGroup::OnOk()
{
    const std::wstring name = FieldText(IDC_QV_NAME);
    if (Refused(EditorChecks::GroupProblem(name)))
        return;
    name_ = name;
    iconIndex_ = chosenIcon_;
    EndDialog(hwnd(), IDOK);
}

bool DlgEditGroup::OnCommand(int id, int /*code*/)
{
    if (id != IDC_QV_ICON_BUTTON)
        return false;
    ChooseIcon(iconButton_, &chosenIcon_);
    return true;
}
