#include "exec/KeystrokePlayer.h"

#include "exec/KeySender.h"

bool KeystrokePlayer::Play(const std::wstring& text)
{
    KeySender sender(output_, stop_);
    sender.defaultDelay = 0;
    sender.pendingDelay = 0;
    return sender.SendKeys(text);
}
