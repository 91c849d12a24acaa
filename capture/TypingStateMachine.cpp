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
    : catalogue_(catalogue), popup_(popup), workers_(workers)
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
            popup_.Show();
            return kSwallow;
        }
        catalogue_.previousKey = static_cast<int>(virtualKey);
        return kPass;
    case kTyping:
        return OnTypingKey(virtualKey);
    default:
        return kPass;
    }
}

int TypingStateMachine::OnTypingKey(unsigned virtualKey)
{
    if (virtualKey == KeyCode::Enter) {
        catalogue_.previousKey = -1;
        catalogue_.typingState = kIdle;
        std::wstring line = popup_.Text();
        // The popup never holds more; this guards the worker's buffer anyway.
        if (line.size() > TypedLine::kMaxLength)
            line.resize(TypedLine::kMaxLength);
        workers_.Start(line); // a line that cannot start is dropped silently
        popup_.Hide();
        return kSwallow;
    }
    if (virtualKey == KeyCode::Escape) {
        catalogue_.previousKey = -1;
        catalogue_.typingState = kIdle;
        popup_.Hide();
        return kSwallow;
    }
    if (popup_.Exists())
        popup_.TypeKey(virtualKey);
    return kSwallow;
}
