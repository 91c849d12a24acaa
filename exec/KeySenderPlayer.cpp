#include "exec/KeySenderPlayer.h"

#include "exec/KeySender.h"

bool KeySenderPlayer::Play(const std::wstring& text)
{
    KeySender sender(output_, stop_);
    sender.defaultDelay = 0;
    sender.pendingDelay = 0;
    return sender.SendKeys(text);
}
