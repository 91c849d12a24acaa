#pragma once

#include "capture/ITypingPopup.h"
#include "capture/TypedLine.h"
#include "ui/popup/Win32KeyboardState.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/WindowMessages.h"
#include "ui/DialogBase.h"

// The popup that echoes the line while the user types it: a borderless
// topmost window in the corner of the work area, created on every show and
// destroyed on every hide. A second text, lighter, follows the typed one
// with the suggested end of the shortcut.
class DlgInfo : public DialogBase, public ITypingPopup {
public:
    static constexpr unsigned kHideMs = 500;

    DlgInfo();
    ~DlgInfo() override;

    void Show() override;
    // Starts the collapse and returns at once: the hook that delivered Enter
    // or Escape is answered without waiting for the animation.
    void Hide() override;
    bool Exists() const override;
    void TypeKey(unsigned virtualKey) override;
    std::wstring Text() const override { return line_.Text(); }
    void SetText(const std::wstring& text) override;
    void ShowCompletion(const std::wstring& rest, const std::wstring& name) override;
    // Every key the hook reported: Shift and Caps Lock follow them in order.
    void NoteKeyEvent(unsigned virtualKey, std::uint32_t flags) { keyboard_.NoteKeyEvent(virtualKey, flags); }

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnInfoChar(unsigned virtualKey);
    void CreateCompletionText();
    void StepHide();
    void FinishHide();

    COLORREF backgroundColour_;
    UniqueGdi<HBRUSH> backgroundBrush_;
    COLORREF textColour_ = RGB(0, 0, 255);
    COLORREF completionColour_ = RGB(96, 112, 200);
    TypedLine line_;
    // The suggestion's text control (the window destroys it), the typed
    // text's place and font, and what the suggestion shows from where.
    HWND completion_ = nullptr;
    RECT textBox_{};
    HFONT textFont_ = nullptr;
    UniqueMemoryDc measureDc_;
    std::wstring completionShown_;
    int completionLeft_ = 0;
    Win32KeyboardState keyboard_;
    bool hiding_ = false;
    ULONGLONG hideStarted_ = 0;
    SIZE fullSize_{};
};
