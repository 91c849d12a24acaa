#pragma once

#include "platform/IKeyboardOutput.h"
#include "tests/exec/UsKeyLayout.h"

#include <array>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// Records every call in the action text of KeyActionText.h and keeps the
// state of each key as the platform would see it. Hooks let a test refuse
// or break single calls.
class RecordingKeyboardOutput : public IKeyboardOutput {
public:
    unsigned short KeyValueOf(wchar_t c) const override { return UsKeyValue(c); }

    bool SendKeyEvent(unsigned short vk, unsigned flags) override
    {
        const bool up = (flags & 2) != 0;
        const std::string text =
            (up ? "u" : "d") + std::to_string(vk) + (up || flags ? "/" + std::to_string(flags) : "");
        ++keyEvents;
        if (beforeKeyEvent)
            beforeKeyEvent(text);
        if (refuse && refuse(text)) {
            Record(text + "!");
            return false;
        }
        Record(text);
        down[vk] = !up;
        return true;
    }
    void Sleep(int ms) override { Record("s" + std::to_string(ms)); }
    void Beep(int frequency, int ms) override { Record("b" + std::to_string(frequency) + "," + std::to_string(ms)); }
    bool ActivateWindow(const std::wstring& title) override
    {
        Record("a[" + std::string(title.begin(), title.end()) + "]");
        return false;
    }
    void ToggleNumLock() override { Record("n"); }

    bool AnyKeyDown() const
    {
        for (bool d : down)
            if (d)
                return true;
        return false;
    }

    std::string calls;
    std::array<bool, 256> down{};
    int keyEvents = 0;
    // Called before each key event with its text; may throw or stop.
    std::function<void(const std::string&)> beforeKeyEvent;
    // True refuses the event (recorded with a trailing "!").
    std::function<bool(const std::string&)> refuse;

private:
    void Record(const std::string& text)
    {
        if (!calls.empty())
            calls += ' ';
        calls += text;
    }
};
