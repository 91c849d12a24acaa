#pragma once

#include <boost/shared_ptr.hpp>

#include <vector>

#include "catalogue/QuorvallisScriptStep.h"
#include "ui/editing/StepTypeTable.h"
#include "platform/win32/Win32KeyNames.h"
#include "plugins/QuorvallisPluginsManager.h"
#include "ui/editors/EditorDialog.h"

// The editor of one script step: its type and the one value the type needs,
// or which plugin action it calls. Works on a copy of the step; after a
// result of 1 (OK) the caller takes step().
class DlgEditScriptStep : public EditorDialog {
public:
    // Add mode: a new step of type "Open web site".
    DlgEditScriptStep();
    // Edit mode: a copy of the step, with its id.
    explicit DlgEditScriptStep(const QuorvallisScriptStep& step);

    // The plugin manager whose actions the type list offers; before the run.
    void SetPluginsManager(boost::shared_ptr<QuorvallisPluginsManager> plugins) { plugins_ = std::move(plugins); }

    int mode() const { return mode_; }
    // The working step; complete after a result of 1.
    const QuorvallisScriptStep& step() const { return step_; }

private:
    void OnInitDialog() override;
    void OnOk() override;
    bool OnCommand(int id, int code) override;
    // Shows the label, field, Browse and key controls the type needs; the
    // value is lost. Null: the template's layout.
    void LayOut(const StepTypeChoice* type);
    void OnBrowse();
    const StepTypeChoice* ChosenType() const;

    int mode_;
    QuorvallisScriptStep step_;
    boost::shared_ptr<QuorvallisPluginsManager> plugins_;
    std::vector<StepTypeChoice> types_;
    // The type list's item whose controls are shown; -1 for none.
    int shownItem_ = -1;
    ImageCombo typeCombo_;
    ImageCombo quickKeys_;
    COwnerDrawnButton browse_;
    HWND field_ = nullptr;
    RECT fieldRect_{};
    Win32KeyNames keyNames_;
};
