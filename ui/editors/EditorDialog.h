#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "catalogue/CommandGroup.h"
#include "ui/ModalDialog.h"
#include "ui/controls/COwnerDrawnButton.h"
#include "ui/controls/HeaderCtrl.h"
#include "ui/controls/IconSet.h"
#include "ui/controls/ImageCombo.h"

// What the command, group, script and step editors share: the dialog
// colouring, the banner, OK and Cancel as icon buttons, the small icon set,
// the icon button with the picker, the open-file dialog, the "Error!" box,
// the group list, and the value field that is rebuilt for each type.
// Controls, icons and the image list belong to the object, so a caller can
// read the values back after the modal run.
class EditorDialog : public ModalDialog {
public:
    static constexpr int kAddMode = 0;
    static constexpr int kEditMode = 1;

    // Asked on OK, once the input is complete, whether the caller would take
    // an entry with this shortcut in this group: the reason it would not, or
    // an empty text. The editor stays open with the reason shown.
    using AcceptanceCheck = std::function<std::wstring(const std::wstring& shortcut, int groupId)>;
    void SetAcceptanceCheck(AcceptanceCheck check) { acceptance_ = std::move(check); }

protected:
    enum class FieldShape { SingleLine, Digits, MultiLine };

    explicit EditorDialog(int templateId);

    // Checks the input; ends the dialog with 1 when it is complete.
    void OnOk() override = 0;

    // Start-up of every editor: builds the small icon set, attaches the
    // banner, makes OK and Cancel icon buttons.
    void SetUpFrame(const wchar_t* title, const wchar_t* subtitle, int bannerIcon);
    // Makes `controlId` an icon button showing picture `imageIndex`.
    void AttachImageButton(COwnerDrawnButton& button, int controlId, int imageIndex);
    // Shows picture `imageIndex` (none for -1) on an icon button.
    void ShowImage(COwnerDrawnButton& button, int imageIndex);
    // Runs the icon picker; after its OK *index is the picked picture and the
    // button shows it, after Cancel both stay as they were.
    void ChooseIcon(COwnerDrawnButton& button, int* index);
    // The open-file dialog (path and file must exist); true with the path.
    bool BrowseForFile(std::wstring* path);
    // Shows a check's message in an "Error!" box with the error icon; false
    // when there is none.
    bool Refused(const std::wstring& problem);
    // The caller's answer to an entry (see SetAcceptanceCheck), shown as Refused does.
    bool RefusedByCaller(const std::wstring& shortcut, int groupId);
    // The whole text of a window.
    static std::wstring TextOf(HWND window);
    std::wstring FieldText(int controlId) const { return TextOf(Item(controlId)); }

    // The catalogue's groups depth first with their indents, the search
    // results left out; the item of `groupId` selected when there is one.
    void FillGroupCombo(ImageCombo& combo, const std::vector<GroupPtr>& groups, int groupId);
    // The group id of the combo's selected item; false when none is selected.
    static bool ChosenGroup(const ImageCombo& combo, int* groupId);
    // A confirmed choice in a type list: true, with *shown set to the chosen
    // item, when it is another item than the one shown so far. Choosing the
    // item already shown must leave the field and what it holds alone.
    static bool ChoiceChanged(const ImageCombo& combo, int* shown);

    // A child's rectangle in the dialog's client coordinates.
    RECT ChildRect(HWND child) const;
    // Destroys `old` (when there is one) and makes a new edit with the given
    // id at `rect`, with a sunken edge and the dialog's font, placed in the
    // tab order right after `after`. A multi-line field ends 10 pixels above
    // the top of `above`.
    HWND RebuildField(HWND old, int id, HWND after, RECT rect, FieldShape shape, HWND above);

    AcceptanceCheck acceptance_;
    IconSet icons_;
    HeaderCtrl banner_;
    COwnerDrawnButton ok_;
    COwnerDrawnButton cancel_;
};
