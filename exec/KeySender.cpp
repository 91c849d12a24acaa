#include "exec/KeySender.h"

#include "exec/KeyActionSender.h"
#include "exec/KeySequenceParser.h"
#include "platform/IKeyboardOutput.h"

KeySender::KeySender(IKeyboardOutput& output, StopSignal* stop) : output_(output), stop_(stop ? stop : &ownStop_)
{
}

bool KeySender::SendKeys(const std::wstring& text)
{
    const KeySequenceParser parser([this](wchar_t c) { return output_.KeyValueOf(c); });
    KeyDelays delays{defaultDelay, pendingDelay};
    try {
        KeyActionSender sender(output_, stop_);
        const KeySequenceParser::Outcome outcome = parser.Expand(text, delays, sender);
        sender.ReleaseKeysStillDown();
        defaultDelay = delays.defaultDelay;
        pendingDelay = delays.pendingDelay;
        return outcome == KeySequenceParser::Outcome::Complete;
    } catch (...) {
        // The action sender has released its keys on the way out.
        return false;
    }
}
