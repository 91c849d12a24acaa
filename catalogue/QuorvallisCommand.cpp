#include "catalogue/QuorvallisCommand.h"

#include <algorithm>
#include <utility>

QuorvallisCommand::QuorvallisCommand() = default;

QuorvallisCommand::QuorvallisCommand(int commandId, std::wstring commandName, std::wstring commandNotes, int icon,
                                     int group, std::wstring commandShortcut)
    : id(commandId),
      name(std::move(commandName)),
      notes(std::move(commandNotes)),
      groupId(group),
      iconIndex(icon),
      shortcut(std::move(commandShortcut)),
      kind(CommandKind::Regular)
{
}

namespace {

// Position of the first step with that id, or -1.
int IndexOfStep(const std::vector<StepPtr>& steps, int stepId)
{
    for (size_t i = 0; i < steps.size(); ++i) {
        if (steps[i] && steps[i]->id == stepId)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

bool QuorvallisCommand::SetRegularStep(StepType type, const std::wstring& text)
{
    // A regular command opens, starts or types; any other step type would
    // leave it with a step the command editor cannot show.
    if (type != StepType::OpenWebPage && type != StepType::OpenExecutable && type != StepType::EchoString)
        return false;
    if (steps.empty() || !steps.front()) {
        // Build the step completely before it becomes visible in the list.
        StepPtr step(new QuorvallisScriptStep(lastStepId + 1));
        step->type = type;
        step->text = text;
        if (steps.empty())
            steps.push_back(step);
        else
            steps.front() = step;
        ++lastStepId;
        return true;
    }
    // The old step may be shared with a copy that a worker is running: put a
    // changed copy in its place instead of writing into it.
    StepPtr step(new QuorvallisScriptStep(*steps.front()));
    step->type = type;
    step->text = text;
    steps.front() = step;
    return true;
}

bool QuorvallisCommand::ReplaceStep(int stepId, const StepPtr& step)
{
    if (!step)
        return false;
    const int at = IndexOfStep(steps, stepId);
    if (at < 0)
        return false;
    steps[at] = step;
    return true;
}

bool QuorvallisCommand::RemoveStep(int stepId)
{
    const int at = IndexOfStep(steps, stepId);
    if (at < 0)
        return false;
    steps.erase(steps.begin() + at);
    return true;
}

bool QuorvallisCommand::MoveStepUp(int stepId)
{
    const int at = IndexOfStep(steps, stepId);
    if (at <= 0)
        return false;
    std::swap(steps[at], steps[at - 1]);
    return true;
}

bool QuorvallisCommand::MoveStepDown(int stepId)
{
    const int at = IndexOfStep(steps, stepId);
    if (at < 0 || at + 1 >= static_cast<int>(steps.size()))
        return false;
    std::swap(steps[at], steps[at + 1]);
    return true;
}

bool QuorvallisCommand::MoveStepToTop(int stepId)
{
    const int at = IndexOfStep(steps, stepId);
    if (at <= 0)
        return false;
    std::rotate(steps.begin(), steps.begin() + at, steps.begin() + at + 1);
    return true;
}

bool QuorvallisCommand::MoveStepToBottom(int stepId)
{
    const int at = IndexOfStep(steps, stepId);
    if (at < 0 || at + 1 >= static_cast<int>(steps.size()))
        return false;
    std::rotate(steps.begin() + at, steps.begin() + at + 1, steps.end());
    return true;
}
