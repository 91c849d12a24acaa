#pragma once

#include "catalogue/CommandKind.h"
#include "catalogue/QuorvallisScriptStep.h"
#include "catalogue/ExecutionCount.h"
#include "catalogue/ShortcutText.h"

#include <boost/shared_ptr.hpp>

#include <string>
#include <vector>

using StepPtr = boost::shared_ptr<QuorvallisScriptStep>;

// One runnable command: its steps run in order. A copy shares the step
// objects with the original; the step operations never change a shared step
// in place, so a copy can be edited while the original runs.
class QuorvallisCommand {
public:
    // Used when reading the catalogue file: kind is 0 until read.
    QuorvallisCommand();
    QuorvallisCommand(int id, std::wstring name, std::wstring notes, int iconIndex, int groupId, std::wstring shortcut);
    QuorvallisCommand(const QuorvallisCommand&) = default;
    QuorvallisCommand& operator=(const QuorvallisCommand&) = default;
    virtual ~QuorvallisCommand() = default;

    // Gives a regular command its single step: sets the first step's type and
    // text, or creates step lastStepId + 1 when there is none.
    bool SetRegularStep(StepType type, const std::wstring& text);
    bool ReplaceStep(int stepId, const StepPtr& step);
    bool RemoveStep(int stepId);
    bool MoveStepUp(int stepId);
    bool MoveStepDown(int stepId);
    bool MoveStepToTop(int stepId);
    bool MoveStepToBottom(int stepId);

    int lastStepId = -1;
    int id = 0;
    std::wstring name;
    std::wstring notes;
    int groupId = 0;
    int iconIndex = 0;
    ShortcutText shortcut;
    CommandKind kind = static_cast<CommandKind>(0);
    std::vector<StepPtr> steps;
    ExecutionCount timesExecuted = 0;
};

using CommandPtr = boost::shared_ptr<QuorvallisCommand>;
