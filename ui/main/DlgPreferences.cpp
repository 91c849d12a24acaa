#include "ui/main/DlgPreferences.h"

#include "ArtworkIds.h"
#include "MainWindowIds.h"
#include "catalogue/QuorvallisCommands.h"
#include "platform/IFileStore.h"
#include "platform/ProgramFolder.h"
#include "plugins/QuorvallisPluginsManager.h"
#include "ui/about/DlgAbout.h"
#include "ui/controls/BufferedPaint.h"
#include "ui/controls/HorizontalGradient.h"

#include <commctrl.h>
#include <shellapi.h>

namespace {

// Picture of the small icon set on the Close button.
constexpr int kImageCloseButton = 11;

} // namespace

DlgPreferences::DlgPreferences(boost::shared_ptr<QuorvallisCommands> catalogue, ILineWorkers& workers,
                               std::shared_ptr<IFileStore> files, const std::wstring& programPath)
    : DialogBase(IDD_PREFERENCES),
      catalogue_(std::move(catalogue)),
      files_(std::move(files)),
      load_(*files_, FolderOfProgram(programPath) + L"Preferences.data"),
      matches_(popup_),
      typing_(*catalogue_, popup_, workers, &matches_),
      showMatches_(options_, typing_),
      hook_(popup_, typing_),
      programs_(options_, FolderOfProgram(programPath)),
      programMatches_([this] { return programs_.Current(); },
                      [this](const Program& program, const std::wstring& arguments) {
                          return programs_.Open(program, arguments);
                      }),
      labelBrush_(CreateSolidBrush(RGB(255, 255, 255))),
      view_(*catalogue_),
      actions_(*catalogue_, view_, modal_),
      preferences_(*catalogue_, registry_, programPath),
      heldItems_(Instance(), IDD_PREFERENCES, {IDC_FIRST_KEY, IDC_SECOND_KEY}),
      start_([this] { BuildRest(); })
{
}

DlgPreferences::~DlgPreferences() = default;

void DlgPreferences::OnInitDialog()
{
    // Only what the hook needs to answer from the first key: the window, the
    // catalogue and its keys. The rest of the window is built once the
    // program has first waited for input, or when needed first (start_).
    catalogue_->SetMainWindow(hwnd());
    hook_.Attach(hwnd());
    showMatches_.Load();
    // Empty until the programs were found, after the start.
    typing_.SetOtherMatches(&programMatches_);
    matches_.SetOtherIconPainter([this](const MatchRow& row, HDC dc, int x, int y, int size) {
        return programs_.DrawIcon(row.iconFile, dc, x, y, size);
    });
    const bool problem = load_.Run(*catalogue_);
    saver_.Start(hwnd(), files_, load_.savePath());
    // Told once the window is up, so the start itself goes on (the hook is
    // installed before the box appears).
    if (problem)
        PostMessageW(hwnd(), WM_REPORTPROBLEM, 0, 0);
    SetEnabled(catalogue_->enableOnStart);
}

void DlgPreferences::BuildRest()
{
    heldItems_.CreateInto(hwnd());
    HWND tree = Item(IDC_GROUP_TREE);
    HWND list = Item(IDC_COMMAND_LIST);

    smallIcons_.Build(IDB_QV_ICON_SET, 20);
    actionStrip_.Build(IDB_QV_ACTIONS, 10);
    windowIcon_.reset(IconSet::LoadProgramIcon(IDI_QV_PROGRAM, 32));
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(windowIcon_.get()));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(windowIcon_.get()));

    closeButton_.Attach(hwnd(), IDOK);
    closeButton_.SetIcons(smallIcons_.MakeIcon(kImageCloseButton));

    commandsFrame_.Attach(hwnd(), IDC_COMMANDS_FRAME);
    preferencesFrame_.Attach(hwnd(), IDC_PREFERENCES_FRAME);

    toolbar_.Create(hwnd(), actionStrip_.get(), reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));

    RECT withoutMenu{};
    GetClientRect(hwnd(), &withoutMenu);
    menu_.Create(hwnd(), actionStrip_.get());
    RECT withMenu{};
    GetClientRect(hwnd(), &withMenu);

    view_.Attach(tree, list, smallIcons_.get());
    actions_.Attach(hwnd(), menu_.images(), actionStrip_.get(), [this] { saver_.Changed(*catalogue_); });
    actions_.SetPrograms([this] {
        programs_.Wanted();
        return programs_.Current();
    });
    preferences_.Show(hwnd());
    layout_.CreateParts(hwnd());

    tray_.Add(hwnd(), hook_.enabled());
    tips_.Create(hwnd(), toolbar_.searchBox());
    view_.ShowTree();
    // The hook is in already; the menu shows its state.
    UpdateToggleMenuItem();
    showMatches_.ShowInMenu(hwnd());
    UpdateOptionItems();
    // The Start menu is read from here on, on a thread of its own.
    programs_.Start(hwnd());

    layout_.Anchor(withoutMenu.bottom - withMenu.bottom);
    RECT client{};
    GetClientRect(hwnd(), &client);
    OnSize(client.right, client.bottom);
}

void DlgPreferences::OnDestroy()
{
    hook_.Remove();
    programs_.Stop();
    tray_.Remove();
    const std::wstring failure = saver_.Finish(*catalogue_);
    if (!failure.empty())
        MessageBoxW(nullptr, failure.c_str(), L"Quorvallis", MB_OK | MB_ICONERROR);
    catalogue_->SetMainWindow(nullptr);
}

void DlgPreferences::ShowMessage(const std::wstring& text, UINT icon)
{
    ModalRuns::Scope scope(modal_);
    MessageBoxW(hwnd(), text.c_str(), L"Quorvallis", MB_OK | icon);
}

void DlgPreferences::UpdateToggleMenuItem()
{
    menu_.ShowEnabled(hwnd(), hook_.enabled());
}

void DlgPreferences::UpdateOptionItems()
{
    if (HMENU menu = GetMenu(hwnd()))
        CheckMenuItem(menu, IDM_COMMAND_SHOW_PROGRAMS, MF_BYCOMMAND | (programs_.shown() ? MF_CHECKED : MF_UNCHECKED));
}

void DlgPreferences::SetEnabled(bool enabled)
{
    if (enabled) {
        if (hook_.enabled())
            return;
        // A refused hook leaves it disabled; the keyboard still goes back
        // to the application below.
        hook_.Install();
    } else {
        UpdateToggleMenuItem();
        if (!hook_.enabled())
            return;
        hook_.Remove();
    }
    UpdateToggleMenuItem();
    // Typing goes on in the application that was in front before the menu.
    if (rememberedForeground_ && IsWindow(rememberedForeground_))
        SetForegroundWindow(rememberedForeground_);
    tray_.ShowState(hook_.enabled());
}

void DlgPreferences::ShowFromTray()
{
    ShowWindow(hwnd(), IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
    BringWindowToTop(hwnd());
}

void DlgPreferences::ShowAbout()
{
    ModalRuns::Scope scope(modal_);
    DlgAbout about;
    about.RunModal(hwnd());
}

void DlgPreferences::Exit()
{
    if (exiting_)
        return;
    if (modal_.AnyOpen()) {
        // The window cannot go while a loop inside it runs: end the loops,
        // then exit from the message loop. Asked again each time: a loop
        // opened before the posted exit came (a failed-save box, a queued
        // command) is ended too, and its end posts the exit again.
        HWND window = hwnd();
        modal_.CancelAll(window, [window] { PostMessageW(window, WM_EXITLATER, 0, 0); });
        return;
    }
    exiting_ = true;
    if (hwnd())
        DestroyWindow(hwnd());
    PostQuitMessage(0);
}

void DlgPreferences::OnCommand(UINT id, UINT code, HWND)
{
    if (actions_.Run(id))
        return;
    bool changed = false;
    if (preferences_.OnCommand(id, code, changed)) {
        if (changed)
            saver_.Changed(*catalogue_);
        return;
    }
    switch (id) {
    case IDOK:
    case IDCANCEL:
    case IDM_FILE_CLOSE: ShowWindow(hwnd(), SW_HIDE); break;
    case IDM_HELP_ABOUT: ShowAbout(); break;
    case IDM_TRAY_PREFERENCES: ShowFromTray(); break;
    case IDM_TRAY_ENABLE: SetEnabled(true); break;
    case IDM_TRAY_DISABLE: SetEnabled(false); break;
    case IDM_COMMAND_TOGGLE_ENABLED: SetEnabled(!hook_.enabled()); break;
    case IDM_COMMAND_SHOW_MATCHES: showMatches_.Toggle(hwnd()); break;
    case IDM_TRAY_EXIT: Exit(); break;
    case IDM_COMMAND_SHOW_PROGRAMS:
        programs_.SetShown(!programs_.shown());
        UpdateOptionItems();
        break;
    default: break;
    }
}

bool DlgPreferences::OnNotify(NMHDR& header)
{
    LRESULT result = 0;
    if (view_.OnNotify(header, &result)) {
        SetResult(result);
        return true;
    }
    if (toolbar_.OnNotify(header)) {
        SetResult(0);
        return true;
    }
    if (!actions_.OnViewNotify(header, &result))
        return false;
    SetResult(result);
    return true;
}

void DlgPreferences::OnSize(int width, int height)
{
    if (!start_.done())
        return;
    layout_.Fit(width, height);
    toolbar_.Fit();
    // The toolbar's gradient spans the new width.
    InvalidateRect(toolbar_.hwnd(), nullptr, TRUE);
}

void DlgPreferences::PaintBackground(HDC dc, SIZE size) const
{
    RECT all{0, 0, size.cx, size.cy};
    FillRect(dc, &all, colours_.BackgroundBrush());
    if (toolbar_.hwnd())
        FillHorizontalGradient(dc, toolbar_.Bounds(), kToolbarLeft, kToolbarRight);
}

std::optional<bool> DlgPreferences::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CONTEXTMENU: actions_.OnContextMenu(reinterpret_cast<HWND>(wParam), lParam); return true;
    case WM_SIZE: OnSize(LOWORD(lParam), HIWORD(lParam)); return true;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{kMinimumSize.cx, kMinimumSize.cy};
        SetResult(0);
        return true;
    case WM_ERASEBKGND:
        BufferedPaint::Paint(hwnd(), reinterpret_cast<HDC>(wParam),
                             [this](HDC dc, SIZE size) { PaintBackground(dc, size); });
        SetResult(TRUE);
        return true;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        // Labels and check boxes sit on the white body of the preferences box.
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        SetDirectResult(reinterpret_cast<INT_PTR>(labelBrush_.get()));
        return true;
    case WM_CTLCOLORDLG: SetDirectResult(reinterpret_cast<INT_PTR>(colours_.BackgroundBrush())); return true;
    case WM_CLOSE: ShowWindow(hwnd(), SW_HIDE); return true;
    case WM_WINDOWPOSCHANGED:
        // Rows held back while the window was hidden are listed as it shows.
        if (lParam && (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW)) {
            view_.OnShown();
            // "Add programs…" is a click away.
            programs_.Wanted();
        }
        return false;
    default: return std::nullopt;
    }
}

std::optional<bool> DlgPreferences::OnSessionMessage(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_QUERYENDSESSION:
        // Agree first; the exit follows right after the answer.
        SetResult(TRUE);
        PostMessageW(hwnd(), WM_EXITLATER, 0, 0);
        return true;
    case WM_ENDSESSION:
        if (wParam) {
            Exit();
            // Still in an editor or a menu: the session may end as soon as
            // this returns, so the catalogue as it is goes to the file first.
            if (!exiting_) {
                saver_.Changed(*catalogue_);
                saver_.WaitUntilIdle(static_cast<int>(CatalogueSaveQueue::kExitWait.count()));
            }
        }
        SetResult(0);
        return true;
    case WM_EXITLATER: Exit(); return true;
    case WM_DESTROY: OnDestroy(); return true;
    default: return std::nullopt;
    }
}

bool DlgPreferences::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT menuResult = 0;
    if (menu_.images().HandleMenuMessage(hwnd(), message, wParam, lParam, &menuResult)) {
        SetResult(menuResult);
        return true;
    }
    start_.Before(message, wParam);
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(); return true;
    case WM_KEYHOOK:
        SetResult(hook_.OnKeyHook(wParam, lParam));
        // The first popup reads the Start menu, while its first keys come.
        if (catalogue_->typingState == TypingStateMachine::kTyping)
            programs_.Wanted();
        return true;
    case WM_COMMANDEXECUTED:
        view_.OnCommandExecuted(static_cast<int>(wParam));
        SetResult(0);
        return true;
    case WM_SEARCHCOMMANDS:
        // Whoever sent it, the text comes from the search box.
        view_.Search(toolbar_.SearchText());
        SetResult(0);
        return true;
    case WM_TRAYNOTIFY:
        if (TrayIcon::OpensMenu(wParam, lParam))
            tray_.ShowMenu(menu_.images(), actionStrip_.get(), hook_.enabled(), rememberedForeground_);
        SetResult(0);
        return true;
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); return true;
    case WM_SYSCOMMAND:
        if (wParam == IDM_SYSTEM_ABOUT) {
            ShowAbout();
            SetResult(0);
            return true;
        }
        return false;
    case WM_NOTIFY: return lParam && OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_TIMER:
        if (wParam != StartMenuPrograms::kPollTimer)
            return false;
        programs_.Poll();
        return true;
    case WM_FINISHSTART:
        // start_ built the rest of the window before this.
        return true;
    case WM_REPORTPROBLEM: {
        const std::wstring text = load_.TakeReport();
        if (!text.empty())
            ShowMessage(text, MB_ICONWARNING);
        return true;
    }
    case WM_PLUGINBROKE: TellBrokenPlugins(); return true;
    case WM_SAVEFINISHED: {
        const std::wstring report = saver_.TakeReport();
        if (!report.empty())
            ShowMessage(report, MB_ICONERROR);
        return true;
    }
    default: break;
    }
    if (const std::optional<bool> handled = OnWindowMessage(message, wParam, lParam))
        return *handled;
    if (const std::optional<bool> handled = OnSessionMessage(message, wParam, lParam))
        return *handled;
    if (tray_.OnShellMessage(message))
        return true;
    // The Close button draws itself on its reflected draw request.
    INT_PTR result = 0;
    if (!colours_.RouteMessage(hwnd(), message, wParam, lParam, &result))
        return false;
    SetDirectResult(result);
    return true;
}

void DlgPreferences::TellBrokenPlugins()
{
    if (!catalogue_->pluginsManager)
        return;
    const std::vector<std::wstring> plugins = catalogue_->pluginsManager->brokenPlugins().TakeUntold();
    if (plugins.empty())
        return;
    std::wstring text;
    if (plugins.size() == 1) {
        text = L"The plugin " + plugins[0] + L" stopped working and was ended.";
    } else {
        text = L"These plugins stopped working and were ended:";
        for (std::size_t i = 0; i < plugins.size(); ++i)
            text += (i ? L", " : L" ") + plugins[i];
        text += L".";
    }
    text += L" Quorvallis runs on.";
    tray_.ShowBalloon(plugins.size() == 1 ? L"A plugin stopped working" : L"Plugins stopped working", text);
}
