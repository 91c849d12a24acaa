#pragma once

#include "exec/IKeystrokePlayer.h"

class IKeyboardOutput;
class StopSignal;

// Plays each text with a fresh KeySender whose delays start at 0. With
// `stop`, every playback ends (its keys released) once that is asked to.
class KeySenderPlayer : public IKeystrokePlayer {
public:
    explicit KeySenderPlayer(IKeyboardOutput& output, StopSignal* stop = nullptr) : output_(output), stop_(stop) {}
    bool Play(const std::wstring& text) override;

private:
    IKeyboardOutput& output_;
    StopSignal* stop_;
};
