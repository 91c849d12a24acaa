#include "ui/commandeditor/DlgEditCommand.h"

#include "ArtworkIds.h"
#include "EditorIds.h"
#include "catalogue/StepType.h"
#include "ui/editing/CommandLinePath.h"
#include "ui/editing/EditorChecks.h"
#include "ui/editing/StepTypeTable.h"

DlgEditCommand::DlgEditCommand(int groupId) : EditorDialog(IDD_QV_EDIT_COMMAND), mode_(kAddMode), groupId_(groupId)
{
}

DlgEditCommand::DlgEditCommand(int typeCode, int iconIndex, int groupId, std::wstring name, std::wstring notes,
                               std::wstring shortcut, std::wstring commandText)
    : EditorDialog(IDD_QV_EDIT_COMMAND),
      mode_(kEditMode),
      typeCode_(typeCode),
      iconIndex_(iconIndex),
      groupId_(groupId),
      name_(std::move(name)),
      notes_(std::move(notes)),
      shortcut_(std::move(shortcut)),
      commandText_(std::move(commandText))
{
}

void DlgEditCommand::Suggest(int typeCode, std::wstring name, std::wstring shortcut, std::wstring commandText)
{
    suggested_ = true;
    typeCode_ = typeCode;
    name_ = std::move(name);
    shortcut_ = std::move(shortcut);
    commandText_ = std::move(commandText);
}

void DlgEditCommand::OnInitDialog()
{
    chosenType_ = typeCode_;
    chosenIcon_ = iconIndex_;
    const bool adding = mode_ == kAddMode;
    SetUpFrame(adding ? L"Add Command" : L"Edit Command", adding ? L"Add a new command" : L"Edit an existing command",
               adding ? IDI_QV_ADD_COMMAND : IDI_QV_EDIT_COMMAND);
    AttachImageButton(browse_, IDC_QV_BROWSE, 10);
    AttachImageButton(iconButton_, IDC_QV_ICON_BUTTON, chosenIcon_);

    field_ = Item(IDC_QV_COMMAND);
    fieldRect_ = ChildRect(field_);

    typeCombo_.Attach(hwnd(), IDC_QV_TYPE);
    typeCombo_.SetImageList(icons_.get());
    for (const StepTypeChoice& type : StepTypeTable::CommandChoices()) {
        const int item = typeCombo_.Append(type.label, type.image, 0, static_cast<int>(type.type));
        if (static_cast<int>(type.type) == chosenType_)
            shownItem_ = item;
    }
    typeCombo_.Select(shownItem_);
    ApplyType();

    SetWindowTextW(hwnd(), adding ? L"Add new command..." : L"Edit the command...");
    if (!adding || suggested_) {
        SetDlgItemTextW(hwnd(), IDC_QV_NAME, name_.c_str());
        SetDlgItemTextW(hwnd(), IDC_QV_NOTES, notes_.c_str());
        SetDlgItemTextW(hwnd(), IDC_QV_SHORTCUT, shortcut_.c_str());
        SetWindowTextW(field_, commandText_.c_str());
    }

    groupCombo_.Attach(hwnd(), IDC_QV_GROUP);
    FillGroupCombo(groupCombo_, groups_, groupId_);
}

void DlgEditCommand::ApplyType()
{
    const auto type = static_cast<StepType>(chosenType_);
    ShowWindow(Item(IDC_QV_BROWSE), type == StepType::OpenExecutable ? SW_SHOW : SW_HIDE);
    // A stored type the list does not offer keeps the field as it is.
    if (type != StepType::OpenWebPage && type != StepType::OpenExecutable && type != StepType::EchoString)
        return;
    HWND after = GetWindow(field_, GW_HWNDPREV);
    field_ =
        RebuildField(field_, IDC_QV_COMMAND, after, fieldRect_,
                     type == StepType::EchoString ? FieldShape::MultiLine : FieldShape::SingleLine, Item(IDC_QV_NOTES));
    if (type == StepType::OpenWebPage)
        SetWindowTextW(field_, L"http://");
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void DlgEditCommand::OnTypeChosen()
{
    if (!ChoiceChanged(typeCombo_, &shownItem_))
        return;
    chosenType_ = static_cast<int>(typeCombo_.DataAt(shownItem_));
    ApplyType();
}

void DlgEditCommand::OnBrowse()
{
    std::wstring path;
    if (!BrowseForFile(&path))
        return;
    if (static_cast<StepType>(chosenType_) == StepType::OpenExecutable)
        path = CommandLinePath::Quoted(path);
    SetWindowTextW(field_, path.c_str());
}

void DlgEditCommand::OnOk()
{
    const std::wstring commandText = TextOf(field_);
    const std::wstring shortcut = FieldText(IDC_QV_SHORTCUT);
    const std::wstring name = FieldText(IDC_QV_NAME);
    const std::wstring notes = FieldText(IDC_QV_NOTES);
    int groupId = -1;
    const bool groupChosen = ChosenGroup(groupCombo_, &groupId);
    if (Refused(EditorChecks::CommandProblem(name, commandText, shortcut, groupChosen)) ||
        RefusedByCaller(shortcut, groupId))
        return;
    typeCode_ = chosenType_;
    iconIndex_ = chosenIcon_;
    commandText_ = commandText;
    shortcut_ = shortcut;
    name_ = name;
    notes_ = notes;
    groupId_ = groupId;
    EndDialog(hwnd(), IDOK);
}

bool DlgEditCommand::OnCommand(int id, int code)
{
    switch (id) {
    case IDC_QV_BROWSE: OnBrowse(); return true;
    case IDC_QV_ICON_BUTTON: ChooseIcon(iconButton_, &chosenIcon_); return true;
    case IDC_QV_TYPE:
        if (code != CBN_SELENDOK)
            return false;
        OnTypeChosen();
        return true;
    default: return false;
    }
}
