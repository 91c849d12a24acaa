#pragma once

#include <windows.h>

class DlgInfo;
class TypingStateMachine;
struct QuorvallisHookShared;

// The keyboard hook switched on and off for the main window, and the key
// slots of the hook library's shared section: a key the hook reports is
// taken from its slot, noted by the popup, answered by the typing state
// machine and the answer written back, unless the hook stopped waiting for it.
class HookSwitch {
public:
    HookSwitch(DlgInfo& popup, TypingStateMachine& typing) : popup_(popup), typing_(typing) {}
    HookSwitch(const HookSwitch&) = delete;
    HookSwitch& operator=(const HookSwitch&) = delete;

    // The window the hook reports to; finds the library's shared section.
    void Attach(HWND window);
    // Installs the hook; false when the system refuses it.
    bool Install();
    // Removes the hook when it is in.
    void Remove();
    bool enabled() const { return enabled_; }

    // WM_KEYHOOK: the answer for the hook (TypingStateMachine::kPass, ...).
    LRESULT OnKeyHook(WPARAM key, LPARAM flags);

private:
    DlgInfo& popup_;
    TypingStateMachine& typing_;
    HWND window_ = nullptr;
    // The hook library's shared section, where it marks the keys it gave up on.
    QuorvallisHookShared* shared_ = nullptr;
    bool enabled_ = false;
};
