#pragma once

#include "catalogue/QuorvallisCommand.h"
#include "catalogue/QuorvallisScriptStep.h"
#include "exec/IKeystrokePlayer.h"
#include "platform/ICommandNotifier.h"
#include "platform/IKeyboardOutput.h"
#include "platform/IStepPlatform.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// Records every call of the steps, keyboard included, as one line, in order,
// and answers with the results set by the test.
class RecordingStepPlatform : public IStepPlatform, public IKeyboardOutput {
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
    bool SendKeyEvent(unsigned short virtualKey, unsigned flags) override
    {
        const bool keyUp = (flags & kKeyUp) != 0;
        std::wstring call = L"key " + std::to_wstring(virtualKey) + (keyUp ? L" up" : L" down");
        // A step's key goes without a scan code and never as an extended key.
        if ((flags & ~kKeyUp) != kNoScanCode)
            call += L" flags " + std::to_wstring(flags);
        calls.push_back(call);
        return keyEventsTaken-- > 0;
    }
    void Pause(int milliseconds) override { calls.push_back(L"pause " + std::to_wstring(milliseconds)); }

    // The rest of the keyboard is the keystroke player's; no step uses it.
    unsigned short KeyValueOf(wchar_t) const override { return 0xFFFF; }
    void Sleep(int milliseconds) override { calls.push_back(L"sleep " + std::to_wstring(milliseconds)); }
    void Beep(int, int) override { calls.push_back(L"beep"); }
    bool ActivateWindow(const std::wstring& title) override
    {
        calls.push_back(L"activate " + title);
        return false;
    }
    void ToggleNumLock() override { calls.push_back(L"numlock"); }

    std::vector<std::wstring> calls;
    bool shellAccepts = true;
    bool processStarts = true;
    int keyEventsTaken = 1000; // events after this many are refused
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
