#pragma once

#include "catalogue/ArgumentList.h"
#include "catalogue/QuorvallisCommand.h"

#include <string>

class IKeyboardOutput;
class IKeystrokePlayer;
class IStepPlatform;
class QuorvallisPluginsManager;

// Runs the steps of a command on the thread of a typed line. Typed arguments
// reach the steps through the placeholder "%%" and through plugin actions;
// both take them from the front of one list, so successive steps use
// successive arguments.
class StepExecutor {
public:
    static constexpr int kShortestPauseMs = 1;
    static constexpr int kLongestPauseMs = 100000;

    StepExecutor(IStepPlatform& platform, IKeyboardOutput& keyboard, IKeystrokePlayer& keystrokes);

    // Drops token 0 (the shortcut) and runs the steps in order with the rest
    // as arguments. Stops at the first failing step; what earlier steps did
    // stays done. True when every step succeeded, including when there are
    // none; false for an empty token list.
    bool RunCommandSteps(const QuorvallisCommand& command, ArgumentList& tokens,
                         const QuorvallisPluginsManager* pluginsManager);

    // Runs one step; arguments it uses are removed from the list.
    bool ExecuteStep(const QuorvallisPluginsManager* pluginsManager, const QuorvallisScriptStep& step,
                     ArgumentList& arguments);

    // Replaces each "%%" with the next argument, searching again from the
    // start each time, so a "%%" inside an argument takes the argument after
    // it. False, with the arguments untouched, when they run out.
    static bool FillPlaceholders(const std::wstring& text, ArgumentList& arguments, std::wstring& filled);

private:
    bool SendKeyCombination(unsigned virtualKey, unsigned modifiers);

    IStepPlatform& platform_;
    IKeyboardOutput& keyboard_;
    IKeystrokePlayer& keystrokes_;
};
