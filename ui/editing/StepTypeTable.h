#pragma once

#include "catalogue/QuorvallisCommand.h"
#include "catalogue/QuorvallisScriptStep.h"
#include "catalogue/StepType.h"
#include "plugins/QuorvallisPlugin.h"

#include <string>
#include <vector>

// One item of an editor's type list: its label, its picture in the small
// icon set and the step type it stands for. A plugin item's label is the
// action's whole name, which its steps store and run by.
struct StepTypeChoice {
    std::wstring label;
    int image = -1;
    StepType type = StepType::OpenWebPage;
};

// How the editors show the step types: the script's step list, the type
// lists of the command and step editors, the step editor's value label.
class StepTypeTable {
public:
    // The step list's text of a type ("Open web page", ..., "Custom"); empty
    // for a type outside 1..6.
    static std::wstring ListLabel(StepType type);
    // The picture of a type in the small icon set; -1 outside 1..6.
    static int Image(StepType type);
    // The label above the step editor's value field; empty for plugin steps.
    static std::wstring ValueLabel(StepType type);

    // "Open web site", "Execute", "Echo string": a regular command's types.
    static std::vector<StepTypeChoice> CommandChoices();
    // Whether the command editor shows the command whole: exactly one step,
    // of one of the types above. It would lose any other step's text.
    static bool FitsCommandEditor(const QuorvallisCommand& command);
    // The regular types, "Pause (ms)", "Send key", then one item per plugin
    // action, named as the plugin names it.
    static std::vector<StepTypeChoice> StepChoices(const std::vector<PluginPtr>& plugins);
    // The item that shows `step`: the one of its type; for a plugin step the
    // one whose action name equals the step's text. -1 when there is none
    // (a plugin that is no longer loaded).
    static int IndexFor(const std::vector<StepTypeChoice>& choices, const QuorvallisScriptStep& step);
};
