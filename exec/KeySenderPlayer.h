#pragma once

#include "exec/IKeystrokePlayer.h"

class IKeyboardOutput;

// Plays each text with a fresh KeySender whose delays start at 0.
class KeySenderPlayer : public IKeystrokePlayer {
public:
    explicit KeySenderPlayer(IKeyboardOutput& output) : output_(output) {}
    bool Play(const std::wstring& text) override;

private:
    IKeyboardOutput& output_;
};
