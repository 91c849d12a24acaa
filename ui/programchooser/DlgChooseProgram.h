#pragma once

#include "programs/Program.h"
#include "ui/ModalDialog.h"

#include <memory>
#include <vector>

// Chooses one program of the Start menu, to make a command of: the names in
// order, narrowed by what is typed above them. After a result of 1 (OK),
// chosen() is the program.
class DlgChooseProgram : public ModalDialog {
public:
    explicit DlgChooseProgram(std::shared_ptr<const std::vector<Program>> programs);

    const Program* chosen() const { return chosen_; }

private:
    void OnInitDialog() override;
    void OnOk() override;
    bool OnCommand(int id, int code) override;
    // Lists the programs whose names hold the filter's text.
    void Fill();

    std::shared_ptr<const std::vector<Program>> programs_;
    std::vector<std::size_t> byName_; // indexes into programs_, in name order
    const Program* chosen_ = nullptr;
};
