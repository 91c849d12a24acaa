#pragma once

#include "exec/KeyAction.h"

// Receives the actions of a keystroke text one at a time, so that a text
// with large repeat counts is never held in memory as a whole.
class IKeyActionSink {
public:
    virtual ~IKeyActionSink() = default;
    // False asks the parser to stop emitting.
    virtual bool OnAction(const KeyAction& action) = 0;
};
