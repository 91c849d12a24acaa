#pragma once

#include <boost/shared_ptr.hpp>

#include <vector>

#include "catalogue/CommandGroup.h"
#include "catalogue/QuorvallisCommand.h"
#include "plugins/QuorvallisPluginsManager.h"
#include "ui/editors/EditorDialog.h"
#include "ui/controls/COwnerDrawMenu.h"
#include "ui/controls/GroupBoxEx.h"
#include "ui/scripteditor/StepListView.h"

// The editor of a script: name, shortcut, notes, icon, group and the ordered
// steps, which the user adds, edits, removes and reorders. Every change is
// made on a working copy of the command; after a result of 1 (OK) the caller
// takes command(), with the chosen group and icon in it. Cancel discards
// everything done during the run.
class DlgEditScript : public EditorDialog, public COwnerDrawMenu {
public:
    static constexpr int kNewScriptIcon = 4;

    // Add mode: a new, empty script for the group `groupId`.
    explicit DlgEditScript(int groupId);
    // Edit mode: works on a copy of `command` (the copy shares the step
    // objects; the editor replaces steps, it never changes one in place).
    DlgEditScript(int groupId, const QuorvallisCommand& command);

    // Before the run: the catalogue's top-level groups and the plugin
    // manager that the step editors list actions from.
    void SetGroups(std::vector<GroupPtr> groups) { groups_ = std::move(groups); }
    void SetPluginsManager(boost::shared_ptr<QuorvallisPluginsManager> plugins) { plugins_ = std::move(plugins); }

    int mode() const { return mode_; }
    // The working command; after a result of 1 the edited script.
    const QuorvallisCommand& command() const { return working_; }
    int groupId() const { return groupId_; }
    int iconIndex() const { return iconIndex_; }

private:
    void OnInitDialog() override;
    void OnOk() override;
    bool OnCommand(int id, int code) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnNotify(const NMHDR& header);
    void OnAdd();
    void OnEdit();
    void OnRemove();
    void OnMove(UINT command);
    void ShowMenu();

    int mode_;
    QuorvallisCommand working_;
    int iconIndex_;
    int groupId_;
    std::vector<GroupPtr> groups_;
    boost::shared_ptr<QuorvallisPluginsManager> plugins_;

    StepListView steps_;
    ImageCombo groupCombo_;
    GroupBoxEx frame_;
    COwnerDrawnButton iconButton_;
    COwnerDrawnButton add_;
    COwnerDrawnButton edit_;
    COwnerDrawnButton remove_;
};
