#include "capture/TypingStateMachine.h"

#include "capture/ITypingPopup.h"
#include "capture/TypedLine.h"
#include "catalogue/QuorvallisCommands.h"
#include "platform/ILineWorkers.h"
#include "platform/KeyCodes.h"

namespace {

constexpr std::uint32_t kPreviouslyDown = 1u << 30;
constexpr std::uint32_t kReleased = 1u << 31;

} // namespace

TypingStateMachine::TypingStateMachine(QuorvallisCommands& catalogue, ITypingPopup& popup, ILineWorkers& workers)
    : catalogue_(catalogue),
      popup_(popup),
      workers_(workers)
{
}

int TypingStateMachine::OnKeyEvent(unsigned virtualKey, std::uint32_t flags)
{
    // Only fresh presses count; releases and auto-repeats always pass.
    if (flags & (kPreviouslyDown | kReleased))
        return kPass;

    switch (catalogue_.typingState) {
    case kIdle:
        if (catalogue_.previousKey == static_cast<int>(catalogue_.firstControlKey) &&
            virtualKey == catalogue_.secondControlKey) {
            catalogue_.previousKey = -1;
            catalogue_.typingState = kTyping;
            ForgetCompletion();
            popup_.Show();
            return kSwallow;
        }
        catalogue_.previousKey = static_cast<int>(virtualKey);
        return kPass;
    case kTyping: return OnTypingKey(virtualKey);
    default: return kPass;
    }
}

void TypingStateMachine::EndTyping()
{
    catalogue_.previousKey = -1;
    catalogue_.typingState = kIdle;
    ForgetCompletion();
}

void TypingStateMachine::ForgetCompletion()
{
    completion_.clear();
    completionDue_ = false;
}

int TypingStateMachine::OnTypingKey(unsigned virtualKey)
{
    if (virtualKey == KeyCode::Enter) {
        EndTyping();
        // What was typed, never a suggestion that was not taken.
        std::wstring line = popup_.Text();
        // The popup never holds more; this guards the worker's buffer anyway.
        if (line.size() > TypedLine::kMaxLength)
            line.resize(TypedLine::kMaxLength);
        workers_.Start(line); // a line that cannot start is dropped silently
        popup_.Hide();
        return kSwallow;
    }
    if (virtualKey == KeyCode::Escape) {
        EndTyping();
        popup_.Hide();
        return kSwallow;
    }
    if (!popup_.Exists())
        return kSwallow;
    // These keys add no character, so taking the suggestion changes nothing
    // they did before.
    if ((virtualKey == KeyCode::Right || virtualKey == KeyCode::End) && !completion_.empty())
        popup_.SetText(completion_);
    else
        popup_.TypeKey(virtualKey);
    completionDue_ = true;
    return kSwallow;
}

void TypingStateMachine::UpdateCompletion()
{
    if (!completionDue_)
        return;
    completionDue_ = false;
    if (catalogue_.typingState != kTyping || !popup_.Exists())
        return;
    const std::wstring typed = popup_.Text();
    // Only while the shortcut itself is typed: past the line's first word
    // the catalogue has nothing to complete.
    const CommandPtr command = catalogue_.CompletionFor(typed);
    // A shortcut typed whole leaves nothing to suggest.
    if (!command || command->shortcut.size() <= typed.size()) {
        completion_.clear();
        popup_.ShowCompletion(L"", L"");
        return;
    }
    completion_ = command->shortcut;
    popup_.ShowCompletion(completion_.substr(typed.size()), command->name);
}
