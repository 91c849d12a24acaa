#include "ui/editing/StepForm.h"

#include "ui/editing/KeyText.h"
#include "ui/editing/PauseText.h"
#include "platform/IKeyNames.h"
#include "platform/KeyCodes.h"

namespace {

constexpr unsigned kHotKeyModifiers = KeyText::kShift | KeyText::kControl | KeyText::kAlt | KeyText::kExtended;

// Fills the send-key fields; the message when no key was given.
std::wstring ApplyKey(const StepFormInput& input, const IKeyNames& names, QuorvallisScriptStep* step)
{
    if (input.quickKey >= 0) {
        step->virtualKey = static_cast<unsigned>(input.quickKey);
        step->modifiers = 0;
        step->text = names.KeyName(step->virtualKey, false);
        return std::wstring();
    }
    const unsigned key = input.hotKey & 0xFF;
    const unsigned modifiers = (input.hotKey >> 8) & 0xFF;
    if (!KeyText::IsKey(key))
        return L"Please, specify the key.";
    step->virtualKey = key;
    step->modifiers = modifiers;
    step->text = KeyText::For(key, modifiers, names);
    return std::wstring();
}

} // namespace

const std::vector<StepForm::QuickKey>& StepForm::QuickKeys()
{
    static const std::vector<QuickKey> keys = {
        {L"None", -1},
        {L"Enter", static_cast<int>(KeyCode::Enter)},
        {L"Esc", static_cast<int>(KeyCode::Escape)},
        {L"Space", static_cast<int>(KeyCode::Space)},
        {L"TAB", static_cast<int>(KeyCode::Tab)},
    };
    return keys;
}

int StepForm::QuickKeyIndexFor(const QuorvallisScriptStep& step)
{
    if (step.type != StepType::SendKey || step.modifiers != 0)
        return 0;
    const auto& keys = QuickKeys();
    for (size_t i = 1; i < keys.size(); ++i) {
        if (static_cast<unsigned>(keys[i].virtualKey) == step.virtualKey)
            return static_cast<int>(i);
    }
    return 0;
}

unsigned StepForm::HotKeyFor(const QuorvallisScriptStep& step)
{
    if (step.type != StepType::SendKey || !KeyText::IsKey(step.virtualKey) || (step.modifiers & ~kHotKeyModifiers))
        return 0;
    return step.virtualKey | (step.modifiers << 8);
}

std::wstring StepForm::Apply(const StepFormInput& input, const IKeyNames& names, QuorvallisScriptStep* step)
{
    if (!input.choice)
        return std::wstring();
    QuorvallisScriptStep edited = *step;
    edited.type = input.choice->type;
    edited.text = input.value;
    std::wstring problem;
    switch (edited.type) {
    case StepType::OpenWebPage:
        if (edited.text.empty())
            problem = L"Please, specify the web address.";
        break;
    case StepType::OpenExecutable:
        if (edited.text.empty())
            problem = L"Please, specify the executable path.";
        break;
    case StepType::EchoString:
        if (edited.text.empty())
            problem = L"Please, specify the string.";
        break;
    case StepType::SendKey: problem = ApplyKey(input, names, &edited); break;
    case StepType::Pause:
        if (input.value.empty())
            problem = L"Please, specify the pause time.";
        else if (!PauseText::Read(input.value, &edited.pauseMs))
            problem = L"Please, specify a pause time from " + std::to_wstring(PauseText::kShortest) + L" to " +
                      std::to_wstring(PauseText::kLongest) + L" ms.";
        else
            edited.text = PauseText::For(input.value);
        break;
    case StepType::PluginAction: edited.text = input.choice->label; break;
    }
    if (problem.empty())
        *step = edited;
    return problem;
}
