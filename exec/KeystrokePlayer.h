#pragma once

#include "exec/IKeystrokePlayer.h"

class IKeyboardOutput;
class StopSignal;

// Plays each text with a fresh KeySender whose delays start at 0. With
// `stop`, every playback ends (its keys released) once that is asked to.
class KeystrokePlayer : public IKeystrokePlayer {
public:
    explicit KeystrokePlayer(IKeyboardOutput& output, StopSignal* stop = nullptr) : output_(output), stop_(stop) {}
    bool Play(const std::wstring& text) override;

private:
    IKeyboardOutput& output_;
    StopSignal* stop_;
};
