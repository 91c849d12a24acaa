#pragma once

#include "platform/StopSignal.h"

#include <string>

class IKeyboardOutput;

// Plays one keystroke text into the window that has the keyboard focus.
// A text that breaks the language (a brace text over 299 characters) is
// refused before anything is typed. However the playback
// ends, no key it pressed is left down.
class KeySender {
public:
    // With `stop`, the playback also stops when that is asked to; the output
    // should then wait through it too, so that a delay ends at once.
    explicit KeySender(IKeyboardOutput& output, StopSignal* stop = nullptr);

    // True when the whole text was played; false when it breaks the
    // language (nothing was typed) or when a stop was requested.
    bool SendKeys(const std::wstring& text);

    // May be called from another thread; the playback stops before its next
    // action and releases what it holds.
    void RequestStop() { stop_->Request(); }

    int defaultDelay = 0; // milliseconds before every key press
    int pendingDelay = 0; // milliseconds before the next key press only

private:
    IKeyboardOutput& output_;
    StopSignal ownStop_;
    StopSignal* stop_;
};
