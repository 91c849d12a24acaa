#include "ui/editors/EditorDialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include "ArtworkIds.h"
#include "ui/editing/GroupChoices.h"
#include "ui/iconpicker/DlgSelectIcon.h"

namespace {

// Paths up to the system's longest: the file dialog fails, rather than cuts,
// when its buffer is too short.
constexpr DWORD kPathChars = 32768;

} // namespace

EditorDialog::EditorDialog(int templateId) : ModalDialog(templateId)
{
    INITCOMMONCONTROLSEX classes{sizeof(classes),
                                 ICC_USEREX_CLASSES | ICC_HOTKEY_CLASS | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
}

void EditorDialog::SetUpFrame(const wchar_t* title, const wchar_t* subtitle, int bannerIcon)
{
    icons_.Build(IDB_QV_ICON_SET, 4);
    banner_.Attach(hwnd(), IDC_QV_BANNER);
    banner_.SetTitle(title, subtitle);
    banner_.SetIcon(bannerIcon);
    ok_.Attach(hwnd(), IDOK);
    ok_.SetIconResource(IDI_QV_OK);
    cancel_.Attach(hwnd(), IDCANCEL);
    cancel_.SetIconResource(IDI_QV_CANCEL);
}

void EditorDialog::AttachImageButton(COwnerDrawnButton& button, int controlId, int imageIndex)
{
    button.Attach(hwnd(), controlId);
    ShowImage(button, imageIndex);
}

void EditorDialog::ShowImage(COwnerDrawnButton& button, int imageIndex)
{
    button.SetIcons(icons_.MakeIcon(imageIndex));
}

void EditorDialog::ChooseIcon(COwnerDrawnButton& button, int* index)
{
    DlgSelectIcon picker;
    if (picker.RunModal(hwnd()) != IDOK)
        return;
    *index = picker.pickedIndex();
    ShowImage(button, *index);
}

bool EditorDialog::BrowseForFile(std::wstring* path)
{
    std::wstring buffer(kPathChars, L'\0');
    OPENFILENAMEW request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = hwnd();
    request.lpstrFile = &buffer[0];
    request.nMaxFile = kPathChars;
    // The program finds its own files by its module path, but a changed
    // working folder would still surprise the programs it starts.
    request.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (!GetOpenFileNameW(&request))
        return false;
    buffer.resize(wcsnlen(buffer.c_str(), kPathChars));
    *path = buffer;
    return !path->empty();
}

bool EditorDialog::Refused(const std::wstring& problem)
{
    if (problem.empty())
        return false;
    MessageBoxW(hwnd(), problem.c_str(), L"Error!", MB_OK | MB_ICONERROR);
    return true;
}

bool EditorDialog::RefusedByCaller(const std::wstring& shortcut, int groupId)
{
    return acceptance_ && Refused(acceptance_(shortcut, groupId));
}

std::wstring EditorDialog::TextOf(HWND window)
{
    if (!window)
        return std::wstring();
    const int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], length + 1)));
    return text;
}

void EditorDialog::FillGroupCombo(ImageCombo& combo, const std::vector<GroupPtr>& groups, int groupId)
{
    combo.SetImageList(icons_.get());
    const std::vector<GroupChoice> choices = GroupChoices::From(groups);
    combo.Reserve(static_cast<int>(choices.size()));
    for (const GroupChoice& choice : choices)
        combo.Append(choice.name, choice.iconIndex, choice.indent, choice.id);
    combo.Select(GroupChoices::IndexOf(choices, groupId));
}

bool EditorDialog::ChosenGroup(const ImageCombo& combo, int* groupId)
{
    const int selected = combo.Selected();
    if (selected < 0)
        return false;
    *groupId = static_cast<int>(combo.DataAt(selected));
    return true;
}

bool EditorDialog::ChoiceChanged(const ImageCombo& combo, int* shown)
{
    const int selected = combo.Selected();
    if (selected < 0 || selected == *shown)
        return false;
    *shown = selected;
    return true;
}

RECT EditorDialog::ChildRect(HWND child) const
{
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HWND EditorDialog::RebuildField(HWND old, int id, HWND after, RECT rect, FieldShape shape, HWND above)
{
    if (old)
        DestroyWindow(old);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    switch (shape) {
    case FieldShape::SingleLine: style |= ES_AUTOHSCROLL; break;
    case FieldShape::Digits: style |= ES_AUTOHSCROLL | ES_NUMBER; break;
    case FieldShape::MultiLine:
        style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL;
        if (above)
            rect.bottom = ChildRect(above).top - 10;
        break;
    }
    HWND field = CreateWindowExW(WS_EX_CLIENTEDGE, WC_EDITW, L"", style, rect.left, rect.top, rect.right - rect.left,
                                 rect.bottom - rect.top, hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 Instance(), nullptr);
    if (!field)
        return nullptr;
    SendMessageW(field, WM_SETFONT, SendMessageW(hwnd(), WM_GETFONT, 0, 0), FALSE);
    // A new window goes to the top of the siblings, which is the front of the
    // tab order: put it back where the old field was.
    SetWindowPos(field, after ? after : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return field;
}
