#include "exec/HeldKeys.h"

#include "exec/KeyAction.h"
#include "exec/KeyActionSender.h"
#include "platform/IKeyboardOutput.h"
#include "platform/KeyCodes.h"

bool HeldKeys::Send(IKeyboardOutput& output, unsigned short virtualKey, unsigned flags)
{
    // Sent under the lock: a key-down may not slip in between a player's
    // check and ReleaseAll.
    const std::lock_guard<std::mutex> lock(mutex_);
    const bool up = (flags & KeyAction::kKeyUp) != 0;
    // Every key is up already: a key-up has nothing left to do.
    if (released_)
        return up;
    if (!output.SendKeyEvent(virtualKey, flags))
        return false;
    // A step's key beyond the key codes cannot be held.
    if (virtualKey < down_.size())
        down_[virtualKey] = !up;
    return true;
}

void HeldKeys::ReleaseAll(IKeyboardOutput& output)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
    const auto release = [&](unsigned char vk) {
        if (!down_[vk])
            return;
        for (int attempt = 0; attempt < 3; ++attempt)
            if (output.SendKeyEvent(vk, KeyActionSender::KeyUpFlags(vk)))
                break;
        down_[vk] = false;
    };
    for (unsigned vk : {KeyCode::Shift, KeyCode::Control, KeyCode::Alt, KeyCode::LeftWindows})
        release(static_cast<unsigned char>(vk));
    for (unsigned vk = 0; vk < down_.size(); ++vk)
        release(static_cast<unsigned char>(vk));
}
