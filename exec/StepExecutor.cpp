#include "exec/StepExecutor.h"

#include "catalogue/QuorvallisScriptStep.h"
#include "exec/IKeystrokePlayer.h"
#include "platform/IKeyboardOutput.h"
#include "platform/IStepPlatform.h"
#include "platform/KeyCodes.h"
#include "plugins/QuorvallisPluginsManager.h"

namespace {

const wchar_t kPlaceholder[] = L"%%";

// Modifier bits of a SendKey step, as the hot-key control records them.
constexpr unsigned kShiftFlag = 1;
constexpr unsigned kCtrlFlag = 2;
constexpr unsigned kAltFlag = 4;

constexpr unsigned short kShiftKey = KeyCode::Shift;
constexpr unsigned short kCtrlKey = KeyCode::Control;
constexpr unsigned short kAltKey = KeyCode::Alt;

} // namespace

StepExecutor::StepExecutor(IStepPlatform& platform, IKeyboardOutput& keyboard, IKeystrokePlayer& keystrokes)
    : platform_(platform),
      keyboard_(keyboard),
      keystrokes_(keystrokes)
{
}

bool StepExecutor::RunCommandSteps(const QuorvallisCommand& command, ArgumentList& tokens,
                                   const QuorvallisPluginsManager* pluginsManager)
{
    if (tokens.empty())
        return false;
    tokens.erase(tokens.begin());

    for (const StepPtr& step : command.steps) {
        // A file may hold an empty step slot; it cannot run.
        if (!step || !ExecuteStep(pluginsManager, *step, tokens))
            return false;
    }
    return true;
}

bool StepExecutor::ExecuteStep(const QuorvallisPluginsManager* pluginsManager, const QuorvallisScriptStep& step,
                               ArgumentList& arguments)
{
    std::wstring text;
    switch (step.type) {
    case StepType::OpenWebPage: return FillPlaceholders(step.text, arguments, text) && platform_.OpenWithShell(text);
    case StepType::OpenExecutable: return FillPlaceholders(step.text, arguments, text) && platform_.StartProcess(text);
    case StepType::EchoString:
        // A text that breaks the keystroke language types nothing, so the
        // step has not done its work and the script must not go on as if it had.
        return FillPlaceholders(step.text, arguments, text) && keystrokes_.Play(text);
    case StepType::SendKey: return SendKeyCombination(step.virtualKey, step.modifiers);
    case StepType::Pause:
        if (step.pauseMs < kShortestPauseMs || step.pauseMs > kLongestPauseMs)
            return false;
        platform_.Pause(step.pauseMs);
        return true;
    case StepType::PluginAction: return pluginsManager && pluginsManager->PerformPluginAction(step.text, arguments);
    }
    return false;
}

bool StepExecutor::FillPlaceholders(const std::wstring& text, ArgumentList& arguments, std::wstring& filled)
{
    std::wstring working = text;
    size_t used = 0;
    for (size_t at = working.find(kPlaceholder); at != std::wstring::npos; at = working.find(kPlaceholder)) {
        if (used == arguments.size())
            return false;
        working.replace(at, 2, arguments[used++]);
    }
    arguments.erase(arguments.begin(), arguments.begin() + static_cast<std::ptrdiff_t>(used));
    filled = std::move(working);
    return true;
}

bool StepExecutor::SendKeyCombination(unsigned virtualKey, unsigned modifiers)
{
    if (virtualKey == 0)
        return false;
    const auto key = static_cast<unsigned short>(virtualKey & 0xFFFF);
    const bool ctrl = (modifiers & kCtrlFlag) != 0;
    const bool alt = (modifiers & kAltFlag) != 0;
    const bool shift = (modifiers & kShiftFlag) != 0;

    // Every event is sent even when one is refused, so that no modifier is
    // left held down; the step fails if any event did not get through. The
    // key goes as recorded, without a scan code and never as an extended key.
    bool delivered = true;
    auto send = [&](bool wanted, unsigned short vk, bool keyUp) {
        const unsigned flags = IKeyboardOutput::kNoScanCode | (keyUp ? IKeyboardOutput::kKeyUp : 0);
        if (wanted && !keyboard_.SendKeyEvent(vk, flags))
            delivered = false;
    };
    send(ctrl, kCtrlKey, false);
    send(alt, kAltKey, false);
    send(shift, kShiftKey, false);
    send(true, key, false);
    send(true, key, true);
    // Released in the order they were pressed.
    send(ctrl, kCtrlKey, true);
    send(alt, kAltKey, true);
    send(shift, kShiftKey, true);
    return delivered;
}
