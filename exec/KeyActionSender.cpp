#include "exec/KeyActionSender.h"

#include "exec/KeySequenceParser.h"
#include "platform/IKeyboardOutput.h"
#include "platform/KeyCodes.h"
#include "platform/StopSignal.h"

KeyActionSender::KeyActionSender(IKeyboardOutput& output, const StopSignal* stop) : output_(output), stop_(stop)
{
}

KeyActionSender::~KeyActionSender()
{
    try {
        ReleaseKeysStillDown();
    } catch (...) {
        // Nothing may leave a destructor; the keys were tried.
    }
}

bool KeyActionSender::OnAction(const KeyAction& action)
{
    if (stop_ && stop_->Requested())
        return false;
    switch (action.kind) {
    case KeyAction::Kind::KeyDown:
        // A refused key-down leaves nothing to release.
        if (output_.SendKeyEvent(action.virtualKey, action.flags))
            down_[action.virtualKey] = true;
        break;
    case KeyAction::Kind::KeyUp:
        // A refused key-up is tried again when the playback ends.
        if (output_.SendKeyEvent(action.virtualKey, action.flags))
            down_[action.virtualKey] = false;
        break;
    case KeyAction::Kind::Sleep: output_.Sleep(action.milliseconds); break;
    case KeyAction::Kind::Beep: output_.Beep(action.frequency, action.milliseconds); break;
    case KeyAction::Kind::Activate:
        // Whether a window was found does not matter to the playback.
        output_.ActivateWindow(action.title);
        break;
    case KeyAction::Kind::ToggleNumLock: output_.ToggleNumLock(); break;
    }
    return true;
}

void KeyActionSender::ReleaseKeysStillDown()
{
    static const unsigned char kModifiers[] = {KeyCode::Shift, KeyCode::Control, KeyCode::Alt, KeyCode::LeftWindows};
    for (unsigned char vk : kModifiers)
        Release(vk);
    for (unsigned vk = 0; vk < down_.size(); ++vk)
        Release(static_cast<unsigned char>(vk));
}

void KeyActionSender::Release(unsigned char virtualKey)
{
    if (!down_[virtualKey])
        return;
    const unsigned flags = KeyUpFlags(virtualKey);
    // A few tries; a key the platform keeps refusing cannot be helped.
    for (int attempt = 0; attempt < 3; ++attempt)
        if (output_.SendKeyEvent(virtualKey, flags))
            break;
    down_[virtualKey] = false;
}

unsigned KeyActionSender::KeyUpFlags(unsigned char virtualKey)
{
    // The same flags the language uses.
    if (KeySequenceParser::IsModifierKey(virtualKey))
        return KeyAction::kKeyUp | (KeySequenceParser::IsExtendedKey(virtualKey) ? KeyAction::kExtended : 0);
    return KeyAction::kExtended | KeyAction::kKeyUp;
}
