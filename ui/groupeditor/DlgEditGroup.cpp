#include "ui/groupeditor/DlgEditGroup.h"

#include "ArtworkIds.h"
#include "EditorIds.h"
#include "editing/EditorChecks.h"

DlgEditGroup::DlgEditGroup() : EditorDialog(IDD_QV_EDIT_GROUP), mode_(kAddMode), iconIndex_(0) {}

DlgEditGroup::DlgEditGroup(std::wstring name, int iconIndex)
    : EditorDialog(IDD_QV_EDIT_GROUP), mode_(kEditMode), name_(std::move(name)), iconIndex_(iconIndex)
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
    const std::wstring problem = EditorChecks::GroupProblem(name);
    if (!problem.empty()) {
        ShowError(problem);
        return;
    }
    name_ = name;
    iconIndex_ = chosenIcon_;
    EndDialog(hwnd(), IDOK);
}

bool DlgEditGroup::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        return false;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            OnOk();
            return true;
        case IDCANCEL:
            EndDialog(hwnd(), IDCANCEL);
            return true;
        case IDC_QV_ICON_BUTTON:
            if (PickIcon(&chosenIcon_))
                ShowImage(iconButton_, chosenIcon_);
            return true;
        default:
            break;
        }
        break;
    default:
        break;
    }
    return RouteToControls(message, wParam, lParam);
}
