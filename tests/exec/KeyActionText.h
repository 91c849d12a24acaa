#pragma once

#include "exec/KeyAction.h"

#include <string>
#include <vector>

// A compact text for action lists, so that cases fit in a table:
//   d65     key 65 down, flags 0        d37/1   key down, extended
//   u65/3   key 65 up with flags 3      s500    sleep 500 ms
//   b440,200 beep                        a[Report] activate window
//   n       Num Lock toggle
inline std::string DescribeAction(const KeyAction& a)
{
    switch (a.kind) {
    case KeyAction::Kind::KeyDown:
        return "d" + std::to_string(a.virtualKey) + (a.flags ? "/" + std::to_string(a.flags) : "");
    case KeyAction::Kind::KeyUp: return "u" + std::to_string(a.virtualKey) + "/" + std::to_string(a.flags);
    case KeyAction::Kind::Sleep: return "s" + std::to_string(a.milliseconds);
    case KeyAction::Kind::Beep: return "b" + std::to_string(a.frequency) + "," + std::to_string(a.milliseconds);
    case KeyAction::Kind::Activate: {
        std::string title;
        for (wchar_t c : a.title)
            title += c < 128 ? static_cast<char>(c) : '?';
        return "a[" + title + "]";
    }
    case KeyAction::Kind::ToggleNumLock: return "n";
    }
    return "?";
}

inline std::string DescribeActions(const std::vector<KeyAction>& actions)
{
    std::string text;
    for (const KeyAction& a : actions) {
        if (!text.empty())
            text += ' ';
        text += DescribeAction(a);
    }
    return text;
}
