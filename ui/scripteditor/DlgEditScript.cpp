#include "ui/scripteditor/DlgEditScript.h"

#include "ArtworkIds.h"
#include "EditorIds.h"
#include "catalogue/CommandKind.h"
#include "ui/editing/EditorChecks.h"
#include "ui/editing/StepRows.h"
#include "ui/stepeditor/DlgEditScriptStep.h"

namespace {

QuorvallisCommand NewScript(int groupId)
{
    QuorvallisCommand script(0, L"", L"", DlgEditScript::kNewScriptIcon, groupId, L"");
    script.kind = CommandKind::Script;
    return script;
}

// Pictures of the small icon set on the buttons and in the popup menu.
constexpr int kAddImage = 12;
constexpr int kEditImage = 13;
constexpr int kRemoveImage = 14;
constexpr int kUpImage = 15;
constexpr int kDownImage = 16;
constexpr int kTopImage = 17;
constexpr int kBottomImage = 18;

} // namespace

DlgEditScript::DlgEditScript(int groupId)
    : EditorDialog(IDD_QV_EDIT_SCRIPT),
      mode_(kAddMode),
      working_(NewScript(groupId)),
      iconIndex_(kNewScriptIcon),
      groupId_(groupId)
{
}

DlgEditScript::DlgEditScript(int groupId, const QuorvallisCommand& command)
    : EditorDialog(IDD_QV_EDIT_SCRIPT),
      mode_(kEditMode),
      working_(command),
      iconIndex_(command.iconIndex),
      groupId_(groupId)
{
}

void DlgEditScript::OnInitDialog()
{
    const bool adding = mode_ == kAddMode;
    SetUpFrame(adding ? L"Add script" : L"Edit script", adding ? L"Add a new script" : L"Edit an existing script",
               adding ? IDI_QV_ADD_SCRIPT : IDI_QV_EDIT_SCRIPT);
    AttachImageButton(iconButton_, IDC_QV_ICON_BUTTON, iconIndex_);
    AttachImageButton(add_, IDC_QV_ADD_STEP, kAddImage);
    AttachImageButton(edit_, IDC_QV_EDIT_STEP, kEditImage);
    AttachImageButton(remove_, IDC_QV_REMOVE_STEPS, kRemoveImage);

    steps_.Attach(hwnd(), IDC_QV_STEP_LIST, icons_.get());
    frame_.Attach(hwnd(), IDC_QV_STEPS_FRAME);
    groupCombo_.Attach(hwnd(), IDC_QV_GROUP);
    if (!adding) {
        SetDlgItemTextW(hwnd(), IDC_QV_NAME, working_.name.c_str());
        SetDlgItemTextW(hwnd(), IDC_QV_NOTES, working_.notes.c_str());
        SetDlgItemTextW(hwnd(), IDC_QV_SHORTCUT, working_.shortcut.c_str());
    }
    steps_.Fill(working_);
    FillGroupCombo(groupCombo_, groups_, groupId_);
}

void DlgEditScript::OnAdd()
{
    DlgEditScriptStep editor;
    editor.SetPluginsManager(plugins_);
    if (editor.RunModal(hwnd()) != IDOK)
        return;
    StepPtr step(new QuorvallisScriptStep(editor.step()));
    step->id = ++working_.lastStepId;
    working_.steps.push_back(step);
    steps_.Append(*step);
}

void DlgEditScript::OnEdit()
{
    const int row = steps_.FirstSelected();
    if (row < 0)
        return;
    const int stepId = steps_.StepIdAt(row);
    StepPtr current;
    for (const StepPtr& step : working_.steps) {
        if (step && step->id == stepId)
            current = step;
    }
    if (!current)
        return;
    DlgEditScriptStep editor(*current);
    editor.SetPluginsManager(plugins_);
    if (editor.RunModal(hwnd()) != IDOK)
        return;
    StepPtr edited(new QuorvallisScriptStep(editor.step()));
    if (working_.ReplaceStep(stepId, edited))
        steps_.Write(row, *edited);
}

void DlgEditScript::OnRemove()
{
    if (steps_.FirstSelected() < 0)
        return;
    if (MessageBoxW(hwnd(), L"Remove selected steps?", L"Remove?", MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return;
    for (int row = 0; row < steps_.Count();) {
        if (steps_.IsSelected(row) && working_.RemoveStep(steps_.StepIdAt(row)))
            steps_.Remove(row);
        else
            ++row;
    }
}

void DlgEditScript::OnMove(UINT command)
{
    std::vector<StepRow> rows = steps_.Rows();
    bool moved = false;
    switch (command) {
    case IDM_QV_STEP_UP: moved = StepRows::MoveUp(rows, working_); break;
    case IDM_QV_STEP_DOWN: moved = StepRows::MoveDown(rows, working_); break;
    case IDM_QV_STEP_TOP: moved = StepRows::MoveToTop(rows, working_); break;
    case IDM_QV_STEP_BOTTOM: moved = StepRows::MoveToBottom(rows, working_); break;
    default: break;
    }
    if (moved)
        steps_.Show(rows, working_);
}

void DlgEditScript::ShowMenu()
{
    UniqueMenu menu(CreatePopupMenu());
    if (!menu)
        return;
    RegisterImageList(menu.get(), icons_.get());
    auto add = [&](UINT id, const wchar_t* text, int image) {
        AppendMenuW(menu.get(), MF_STRING, id, text);
        AddImage(menu.get(), id, image);
    };
    add(IDM_QV_STEP_ADD, L"&Add", kAddImage);
    if (steps_.FirstSelected() >= 0) {
        add(IDM_QV_STEP_EDIT, L"&Edit", kEditImage);
        AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        add(IDM_QV_STEP_UP, L"&Up", kUpImage);
        add(IDM_QV_STEP_DOWN, L"&Down", kDownImage);
        add(IDM_QV_STEP_TOP, L"&Top", kTopImage);
        add(IDM_QV_STEP_BOTTOM, L"&Bottom", kBottomImage);
        AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        add(IDM_QV_STEP_DELETE, L"Delete", kRemoveImage);
    }
    POINT at{};
    GetCursorPos(&at);
    TrackPopupMenu(menu.get(), TPM_LEFTBUTTON, at.x, at.y, 0, hwnd(), nullptr);
}

bool DlgEditScript::OnNotify(const NMHDR& header)
{
    if (header.hwndFrom != steps_.hwnd())
        return false;
    switch (header.code) {
    case NM_RCLICK: ShowMenu(); return true;
    case NM_DBLCLK: OnEdit(); return true;
    case NM_CUSTOMDRAW:
        SetResult(steps_.OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header))));
        return true;
    default: return false;
    }
}

void DlgEditScript::OnOk()
{
    const std::wstring name = FieldText(IDC_QV_NAME);
    const std::wstring shortcut = FieldText(IDC_QV_SHORTCUT);
    int groupId = -1;
    const bool groupChosen = ChosenGroup(groupCombo_, &groupId);
    if (Refused(EditorChecks::ScriptProblem(name, shortcut, groupChosen)) || RefusedByCaller(shortcut, groupId))
        return;
    working_.name = name;
    working_.shortcut = shortcut;
    working_.notes = FieldText(IDC_QV_NOTES);
    working_.iconIndex = iconIndex_;
    working_.groupId = groupId;
    groupId_ = groupId;
    EndDialog(hwnd(), IDOK);
}

bool DlgEditScript::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT menuResult = 0;
    if (HandleMenuMessage(hwnd(), message, wParam, lParam, &menuResult)) {
        SetResult(menuResult);
        return true;
    }
    return message == WM_NOTIFY && lParam && OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
}

bool DlgEditScript::OnCommand(int id, int /*code*/)
{
    switch (id) {
    case IDC_QV_ICON_BUTTON: ChooseIcon(iconButton_, &iconIndex_); return true;
    case IDC_QV_ADD_STEP:
    case IDM_QV_STEP_ADD: OnAdd(); return true;
    case IDC_QV_EDIT_STEP:
    case IDM_QV_STEP_EDIT: OnEdit(); return true;
    case IDC_QV_REMOVE_STEPS:
    case IDM_QV_STEP_DELETE: OnRemove(); return true;
    case IDM_QV_STEP_UP:
    case IDM_QV_STEP_DOWN:
    case IDM_QV_STEP_TOP:
    case IDM_QV_STEP_BOTTOM: OnMove(static_cast<UINT>(id)); return true;
    default: return false;
    }
}
