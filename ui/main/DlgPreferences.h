#pragma once

#include "capture/TypingStateMachine.h"
#include "ui/popup/DlgInfo.h"
#include "platform/WindowMessages.h"
#include "platform/win32/UniqueHandle.h"
#include "ui/controls/COwnerDrawMenu.h"
#include "ui/controls/IconSet.h"
#include "ui/main/TrayIcon.h"
#include "ui/DialogBase.h"

#include <boost/shared_ptr.hpp>

#include <string>

class ILineWorkers;
struct QuorvallisHookShared;
class IFileStore;
class QuorvallisCommands;

// The launcher's main window "Preferences": receiver of the hook's keys, the
// tray icon's notifications and the workers' reports; owner of the tray icon
// and of the enabled state. Created once, hidden most of the time.
class DlgPreferences : public DialogBase {
public:
    DlgPreferences(boost::shared_ptr<QuorvallisCommands> catalogue, ILineWorkers& workers, IFileStore& files,
                   const std::wstring& programPath);
    ~DlgPreferences() override;

    // Installs or removes the keyboard hook; a hook the system refuses leaves
    // the launcher disabled without a message.
    void SetEnabled(bool enabled);
    bool IsEnabled() const { return enabled_; }
    // Destroys the window (hook removed, icon deleted, catalogue saved) and
    // ends the message loop.
    void Exit();

    const std::wstring& storePath() const { return storePath_; }

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnInitDialog();
    void OnDestroy();
    void OnCommand(UINT id, UINT code, HWND control);
    void ShowFromTray();
    void UpdateToggleMenuItem();
    void RegisterMainMenuImages(HMENU menu);
    void FillKeyCombo(int comboId, unsigned selectedKey);
    void SaveCatalogue();
    void ReportProblem(const std::wstring& text);

    boost::shared_ptr<QuorvallisCommands> catalogue_;
    IFileStore& files_;
    std::wstring storePath_;
    // Where saves go: storePath_, unless that file could not be read.
    std::wstring savePath_;
    DlgInfo popup_;
    TypingStateMachine typing_;

    UniqueIcon windowIcon_;
    UniqueMenu mainMenu_;
    IconSet actionStrip_;
    COwnerDrawMenu menuImages_;
    TrayIcon tray_;
    bool enabled_ = false;
    // The hook library's shared section, where it marks the keys it gave up on.
    QuorvallisHookShared* hookShared_ = nullptr;
    HWND rememberedForeground_ = nullptr;
    bool exiting_ = false;
    std::wstring pendingReport_;
};
