#include "ui/stepeditor/DlgEditScriptStep.h"

#include <commctrl.h>

#include <string>

#include "ArtworkIds.h"
#include "EditorIds.h"
#include "ui/editing/CommandLinePath.h"
#include "ui/editing/StepForm.h"

namespace {

QuorvallisScriptStep NewStep()
{
    QuorvallisScriptStep step(-1);
    step.type = StepType::OpenWebPage;
    return step;
}

} // namespace

DlgEditScriptStep::DlgEditScriptStep() : EditorDialog(IDD_QV_EDIT_STEP), mode_(kAddMode), step_(NewStep())
{
}

DlgEditScriptStep::DlgEditScriptStep(const QuorvallisScriptStep& step)
    : EditorDialog(IDD_QV_EDIT_STEP),
      mode_(kEditMode),
      step_(step)
{
}

void DlgEditScriptStep::OnInitDialog()
{
    const bool adding = mode_ == kAddMode;
    SetUpFrame(L"Add step", L"Add a new step", adding ? IDI_QV_ADD_COMMAND : IDI_QV_EDIT_COMMAND);
    field_ = Item(IDC_QV_COMMAND);
    fieldRect_ = ChildRect(field_);
    AttachImageButton(browse_, IDC_QV_BROWSE, 10);

    quickKeys_.Attach(hwnd(), IDC_QV_OR_CHOOSE);
    for (const StepForm::QuickKey& key : StepForm::QuickKeys())
        quickKeys_.Append(key.label, I_IMAGENONE, 0, key.virtualKey);
    quickKeys_.Select(0);

    typeCombo_.Attach(hwnd(), IDC_QV_TYPE);
    typeCombo_.SetImageList(icons_.get());
    types_ = StepTypeTable::StepChoices(plugins_ ? plugins_->Plugins() : std::vector<PluginPtr>());
    for (const StepTypeChoice& type : types_)
        typeCombo_.Append(type.label, type.image, 0, static_cast<int>(type.type));
    shownItem_ = StepTypeTable::IndexFor(types_, step_);
    typeCombo_.Select(shownItem_);
    LayOut(ChosenType());

    SetWindowTextW(hwnd(), adding ? L"Add new step..." : L"Edit the step...");
    if (adding)
        return;
    switch (step_.type) {
    case StepType::OpenWebPage:
    case StepType::OpenExecutable:
    case StepType::EchoString: SetWindowTextW(field_, step_.text.c_str()); break;
    case StepType::Pause: SetWindowTextW(field_, std::to_wstring(step_.pauseMs).c_str()); break;
    case StepType::SendKey:
        if (const int quickKey = StepForm::QuickKeyIndexFor(step_))
            quickKeys_.Select(quickKey);
        else
            SendDlgItemMessageW(hwnd(), IDC_QV_HOT_KEY, HKM_SETHOTKEY, StepForm::HotKeyFor(step_), 0);
        break;
    case StepType::PluginAction: break;
    }
}

const StepTypeChoice* DlgEditScriptStep::ChosenType() const
{
    const int selected = typeCombo_.Selected();
    return selected >= 0 && selected < static_cast<int>(types_.size()) ? &types_[static_cast<size_t>(selected)]
                                                                       : nullptr;
}

void DlgEditScriptStep::LayOut(const StepTypeChoice* choice)
{
    if (!choice)
        return;
    const StepType type = choice->type;
    HWND label = Item(IDC_QV_VALUE_LABEL);
    SetWindowTextW(label, StepTypeTable::ValueLabel(type).c_str());
    ShowWindow(label, type == StepType::PluginAction ? SW_HIDE : SW_SHOW);
    ShowWindow(Item(IDC_QV_BROWSE), type == StepType::OpenExecutable ? SW_SHOW : SW_HIDE);
    const int keyControls = type == StepType::SendKey ? SW_SHOW : SW_HIDE;
    ShowWindow(Item(IDC_QV_HOT_KEY), keyControls);
    ShowWindow(Item(IDC_QV_OR_CHOOSE_LABEL), keyControls);
    ShowWindow(quickKeys_.hwnd(), keyControls);

    if (type == StepType::SendKey || type == StepType::PluginAction) {
        if (field_)
            DestroyWindow(field_);
        field_ = nullptr;
    } else {
        const FieldShape shape = type == StepType::EchoString ? FieldShape::MultiLine
                                 : type == StepType::Pause    ? FieldShape::Digits
                                                              : FieldShape::SingleLine;
        // The field follows its label in the tab order.
        field_ = RebuildField(field_, IDC_QV_COMMAND, label, fieldRect_, shape, Item(IDOK));
        if (type == StepType::OpenWebPage)
            SetWindowTextW(field_, L"http://");
    }
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void DlgEditScriptStep::OnBrowse()
{
    std::wstring path;
    if (!field_ || !BrowseForFile(&path))
        return;
    const StepTypeChoice* type = ChosenType();
    if (type && type->type == StepType::OpenExecutable)
        path = CommandLinePath::Quoted(path);
    SetWindowTextW(field_, path.c_str());
}

void DlgEditScriptStep::OnOk()
{
    StepFormInput input;
    input.choice = ChosenType();
    input.value = TextOf(field_);
    const int quickKey = quickKeys_.Selected();
    input.quickKey = quickKey > 0 ? static_cast<int>(quickKeys_.DataAt(quickKey)) : -1;
    input.hotKey = static_cast<unsigned>(SendDlgItemMessageW(hwnd(), IDC_QV_HOT_KEY, HKM_GETHOTKEY, 0, 0));
    if (Refused(StepForm::Apply(input, keyNames_, &step_)))
        return;
    EndDialog(hwnd(), IDOK);
}

bool DlgEditScriptStep::OnCommand(int id, int code)
{
    switch (id) {
    case IDC_QV_BROWSE: OnBrowse(); return true;
    case IDC_QV_TYPE:
        if (code != CBN_SELENDOK)
            return false;
        if (ChoiceChanged(typeCombo_, &shownItem_))
            LayOut(ChosenType());
        return true;
    default: return false;
    }
}
