#include "ui/main/HookSwitch.h"

#include "capture/TypingStateMachine.h"
#include "hook/QuorvallisHOOK.h"
#include "hook/QuorvallisHOOKShared.h"
#include "ui/popup/DlgInfo.h"

void HookSwitch::Attach(HWND window)
{
    window_ = window;
    shared_ = FindHookShared(GetModuleHandleW(L"QuorvallisHOOK.dll"));
}

bool HookSwitch::Install()
{
    if (!InstallHook(window_))
        return false;
    enabled_ = true;
    return true;
}

void HookSwitch::Remove()
{
    if (!enabled_)
        return;
    UninstallHook();
    enabled_ = false;
}

LRESULT HookSwitch::OnKeyHook(WPARAM key, LPARAM flags)
{
    // Shift and Caps Lock follow every key reported, in order. A key the
    // hook stopped waiting for has reached the application already;
    // acting on it now would act on it twice.
    const std::uint32_t sequence = KeyHookSequence(flags);
    popup_.NoteKeyEvent(static_cast<unsigned>(key), static_cast<std::uint32_t>(flags));
    if (!TakeHookKey(shared_, sequence))
        return TypingStateMachine::kPass;
    const int answer = typing_.OnKeyEvent(static_cast<unsigned>(key), static_cast<std::uint32_t>(flags));
    AnswerHookKey(shared_, sequence, answer != TypingStateMachine::kSwallow);
    // The hook's wait ends with the reply, not with the search and the
    // painting of the completion that come after it.
    ReplyMessage(answer);
    typing_.UpdateCompletion();
    return answer;
}
