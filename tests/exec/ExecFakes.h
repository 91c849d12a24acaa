#pragma once

#include "catalogue/QuorvallisCommand.h"
#include "catalogue/QuorvallisScriptStep.h"
#include "exec/IKeystrokePlayer.h"
#include "platform/ICommandNotifier.h"
#include "platform/IStepPlatform.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// Records every call of the steps as one line, in order, and answers with
// the results set by the test.
class RecordingStepPlatform : public IStepPlatform {
public:
    bool OpenWithShell(const std::wstring& target) override
    {
        calls.push_back(L"open " + target);
        return shellAccepts;
    }
    bool StartProcess(const std::wstring& commandLine) override
    {
        calls.push_back(L"start " + commandLine);
        return processStarts;
    }
    bool SendKeyEvent(unsigned short virtualKey, bool keyUp) override
    {
        calls.push_back(L"key " + std::to_wstring(virtualKey) + (keyUp ? L" up" : L" down"));
        return keyEventsTaken-- > 0;
    }
    void Pause(int milliseconds) override { calls.push_back(L"pause " + std::to_wstring(milliseconds)); }

    std::vector<std::wstring> calls;
    bool shellAccepts = true;
    bool processStarts = true;
    int keyEventsTaken = 1000;  // events after this many are refused
};

class RecordingKeystrokePlayer : public IKeystrokePlayer {
public:
    bool Play(const std::wstring& text) override
    {
        played.push_back(text);
        if (whilePlaying)
            whilePlaying();
        return textIsValid;
    }

    std::vector<std::wstring> played;
    std::function<void()> whilePlaying;
    bool textIsValid = true;
};

class RecordingNotifier : public ICommandNotifier {
public:
    void CommandExecuted(void* mainWindow, int commandId) override { notices.emplace_back(mainWindow, commandId); }

    std::vector<std::pair<void*, int>> notices;
};

inline StepPtr MakeStep(StepType type, std::wstring text = L"")
{
    StepPtr step(new QuorvallisScriptStep(0));
    step->type = type;
    step->text = std::move(text);
    return step;
}

inline StepPtr MakePauseStep(int milliseconds)
{
    StepPtr step = MakeStep(StepType::Pause);
    step->pauseMs = milliseconds;
    return step;
}

inline StepPtr MakeKeyStep(unsigned virtualKey, unsigned modifiers)
{
    StepPtr step = MakeStep(StepType::SendKey);
    step->virtualKey = virtualKey;
    step->modifiers = modifiers;
    return step;
}
