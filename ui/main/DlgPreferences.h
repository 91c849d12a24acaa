#pragma once

#include "capture/TypingStateMachine.h"
#include "platform/WindowMessages.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Options.h"
#include "programs/ProgramMatches.h"
#include "platform/win32/Win32Registry.h"
#include "ui/DialogBase.h"
#include "ui/controls/CColourDialog.h"
#include "ui/controls/COwnerDrawnButton.h"
#include "ui/controls/GroupBoxEx.h"
#include "ui/controls/HeldDialogItems.h"
#include "ui/controls/IconSet.h"
#include "ui/main/CatalogueActions.h"
#include "ui/main/CatalogueSaver.h"
#include "ui/main/CatalogueView.h"
#include "ui/main/DeferredStart.h"
#include "ui/main/HookSwitch.h"
#include "ui/main/MainMenu.h"
#include "ui/main/MainWindowLayout.h"
#include "ui/main/MatchesOption.h"
#include "ui/main/MainToolbar.h"
#include "ui/main/ModalRuns.h"
#include "ui/main/PreferencesBox.h"
#include "ui/main/PreferencesTips.h"
#include "ui/main/StartMenuPrograms.h"
#include "ui/main/StartupLoad.h"
#include "ui/main/TrayIcon.h"
#include "ui/popup/DlgInfo.h"
#include "ui/popup/MatchListWindow.h"

#include <boost/shared_ptr.hpp>

#include <memory>
#include <optional>
#include <string>

class ILineWorkers;
class IFileStore;
class QuorvallisCommands;

// The launcher's main window "Preferences": the catalogue's groups and
// commands, the search, the preferences box; receiver of the hook's keys,
// the tray icon's notifications and the workers' reports; owner of the tray
// icon and of the enabled state. Created once, hidden most of the time. It
// routes messages to the parts that handle them.
class DlgPreferences : public DialogBase {
public:
    static constexpr SIZE kMinimumSize{600, 400};
    static constexpr COLORREF kBackground = CColourDialog::kBackground;
    static constexpr COLORREF kToolbarLeft = RGB(128, 167, 224);
    static constexpr COLORREF kToolbarRight = RGB(235, 236, 237);

    // The saves share `files`: a writer stuck at exit may outlive the window.
    DlgPreferences(boost::shared_ptr<QuorvallisCommands> catalogue, ILineWorkers& workers,
                   std::shared_ptr<IFileStore> files, const std::wstring& programPath);
    ~DlgPreferences() override;

    // Installs or removes the keyboard hook; a hook the system refuses leaves
    // the launcher disabled without a message.
    void SetEnabled(bool enabled);
    // Destroys the window (hook removed, icon deleted, catalogue saved) and
    // ends the message loop. Asked for inside a modal loop (an editor is
    // open), it ends the open dialogs as cancelled and exits once they are
    // gone.
    void Exit();

    const std::wstring& storePath() const { return load_.storePath(); }
    CatalogueView& view() { return view_; }
    MainToolbar& toolbar() { return toolbar_; }
    CatalogueSaver& saver() { return saver_; }

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    const DLGTEMPLATE* ModelessTemplate() const override { return heldItems_.Template(); }

private:
    void OnInitDialog();
    // Builds the rest of the window (controls, menus, tray icon, tree); run
    // once by start_.
    void BuildRest();
    void OnDestroy();
    void OnCommand(UINT id, UINT code, HWND control);
    bool OnNotify(NMHDR& header);
    // Size, painting, colours, closing; empty when the message is not one of them.
    std::optional<bool> OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Log-off, exit and the end of the window; empty when not one of them.
    std::optional<bool> OnSessionMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnSize(int width, int height);
    void PaintBackground(HDC dc, SIZE size) const;
    void ShowFromTray();
    void ShowAbout();
    void UpdateToggleMenuItem();
    void UpdateOptionItems();
    void ShowMessage(const std::wstring& text, UINT icon);
    // Names the plugins that stopped working since the last balloon.
    void TellBrokenPlugins();

    boost::shared_ptr<QuorvallisCommands> catalogue_;
    std::shared_ptr<IFileStore> files_;
    StartupLoad load_;
    DlgInfo popup_;
    MatchListWindow matches_;
    TypingStateMachine typing_;
    Win32Options options_;
    MatchesOption showMatches_;
    HookSwitch hook_;
    Win32Registry registry_;
    StartMenuPrograms programs_;
    // The programs as matches beside the commands, asked by typing_.
    ProgramMatches programMatches_;

    IconSet smallIcons_;
    IconSet actionStrip_;
    UniqueIcon windowIcon_;
    MainMenu menu_;
    COwnerDrawnButton closeButton_;
    GroupBoxEx commandsFrame_;
    GroupBoxEx preferencesFrame_;
    // The window's background and the routing of draw requests to the Close
    // button; labels and check boxes get the white label brush.
    CColourDialog colours_;
    UniqueGdi<HBRUSH> labelBrush_;
    MainToolbar toolbar_;
    CatalogueView view_;
    ModalRuns modal_;
    CatalogueSaver saver_;
    CatalogueActions actions_;
    PreferencesBox preferences_;
    // The two key combos are the costliest controls of the template to
    // create; they come with the rest of the window (BuildRest).
    HeldDialogItems heldItems_;
    PreferencesTips tips_;
    MainWindowLayout layout_;
    TrayIcon tray_;
    HWND rememberedForeground_ = nullptr;
    bool exiting_ = false;
    DeferredStart start_;
};
