#include "ui/main/DlgPreferences.h"

#include "ArtworkIds.h"
#include "MainWindowIds.h"
#include "catalogue/QuorvallisCommands.h"
#include "hook/QuorvallisHOOK.h"
#include "hook/QuorvallisHOOKShared.h"
#include "platform/IFileStore.h"
#include "platform/ProgramFolder.h"
#include "store/CatalogueFile.h"
#include "ui/about/DlgAbout.h"
#include "ui/controls/BufferedPaint.h"
#include "ui/controls/HorizontalGradient.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

namespace {

constexpr int kWindowIcon = IDI_QV_PROGRAM;

// Pictures of the action strip.
constexpr int kImageAddCommand = 0, kImageEditCommand = 1, kImageRemoveCommands = 2, kImageAddScript = 3,
              kImageAddGroup = 4, kImageEditGroup = 5, kImageRemoveGroup = 6, kImageClose = 7, kImageEnable = 9,
              kImageDisable = 10;
// Picture of the small icon set on the Close button.
constexpr int kImageCloseButton = 11;

// The splitter's place in the commands frame: in from the frame's left,
// right and bottom edges, and below its title bar.
constexpr int kSplitterInset = 15;
constexpr int kSplitterTop = 25;
constexpr int kMinimumPaneWidth = 35;

// The icons come with the artwork; until a picture is there the program
// still runs with the system's application icon.
HICON LoadIconOrFallback(HINSTANCE instance, int id, int size)
{
    HICON icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
    if (!icon)
        icon = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
    return icon;
}

const wchar_t* const kTipSearch =
    L"Search for a command or more; specify the full command name or part of it only.";
const wchar_t* const kTipAutoStart = L"If checked then Quorvallis starts every time that windows boots.";
const wchar_t* const kTipEnableOnStart =
    L"If checked then Quorvallis starts in enabled state, allows to run commands. If not checked you'll have to "
    L"enable it manually in order to run commands.";
const wchar_t* const kTipFirstKey =
    L"Select the first control key, this in combination with the next one brings the dialog that accepts the "
    L"commands. You'll have to press the first and then the second control key in order to bring the dialog.";
const wchar_t* const kTipSecondKey =
    L"Select the second control key, this  in combination with the prior one brings the dialog that accepts the "
    L"commands. You'll have to press the first and then the second control key in order to bring the dialog.";

} // namespace

DlgPreferences::DlgPreferences(boost::shared_ptr<QuorvallisCommands> catalogue, ILineWorkers& workers,
                               IFileStore& files, const std::wstring& programPath)
    : DialogBase(IDD_PREFERENCES),
      catalogue_(std::move(catalogue)),
      files_(files),
      storePath_(FolderOfProgram(programPath) + L"Preferences.data"),
      savePath_(storePath_),
      typing_(*catalogue_, popup_, workers),
      labelBrush_(CreateSolidBrush(RGB(255, 255, 255))),
      view_(*catalogue_),
      actions_(*catalogue_, view_, modal_),
      preferences_(*catalogue_, registry_, programPath),
      heldItems_(Instance(), IDD_PREFERENCES, {IDC_FIRST_KEY, IDC_SECOND_KEY})
{
}

DlgPreferences::~DlgPreferences() = default;

void DlgPreferences::OnInitDialog()
{
    // Only what the hook needs to answer from the first key: the window, the
    // catalogue and its keys. The rest of the window is built once the
    // program has first waited for input (FinishStart), or when needed first.
    catalogue_->SetMainWindow(hwnd());
    hookShared_ = FindHookShared(GetModuleHandleW(L"QuorvallisHOOK.dll"));

    const LoadResult loaded = Load(storePath_, *catalogue_, files_);
    savePath_ = loaded.savePath;
    saver_.Start(hwnd(), files_, savePath_);
    if (loaded.outcome == LoadOutcome::Damaged || loaded.outcome == LoadOutcome::Unreadable) {
        std::wstring text = L"The preferences file \"" + storePath_ + L"\" could not be read (" + loaded.error +
                            L"). Quorvallis starts with the catalogue it had";
        if (!loaded.keptAsidePath.empty())
            text += L"; the damaged file was kept as \"" + loaded.keptAsidePath + L"\"";
        if (savePath_ != storePath_)
            text += L". That file is left as it is; your changes are saved to \"" + savePath_ + L"\"";
        ReportProblem(text + L".");
    } else if (loaded.renumbered > 0) {
        const std::wstring records = loaded.renumbered == 1
                                         ? L"a command, group or step"
                                         : std::to_wstring(loaded.renumbered) + L" commands, groups or steps";
        ReportProblem(L"The preferences file \"" + storePath_ + L"\" held " + records +
                      L" with the id of another one. Quorvallis keeps them all and has given them new ids.");
    }
    SetEnabled(catalogue_->enableOnStart);
}

void DlgPreferences::FinishStart()
{
    if (built_)
        return;
    built_ = true;
    heldItems_.CreateInto(hwnd());
    HWND tree = Item(IDC_GROUP_TREE);
    HWND list = Item(IDC_COMMAND_LIST);

    smallIcons_.Build(IDB_QV_ICON_SET, 20);
    actionStrip_.Build(IDB_QV_ACTIONS, 10);
    windowIcon_.reset(LoadIconOrFallback(Instance(), kWindowIcon, 32));
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(windowIcon_.get()));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(windowIcon_.get()));

    closeButton_.Attach(hwnd(), IDOK);
    closeButton_.SetIcons(smallIcons_.MakeIcon(kImageCloseButton));

    commandsFrame_.Attach(hwnd(), IDC_COMMANDS_FRAME);
    preferencesFrame_.Attach(hwnd(), IDC_PREFERENCES_FRAME);

    toolbar_.Create(hwnd(), actionStrip_.get(), reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));

    RECT withoutMenu{};
    GetClientRect(hwnd(), &withoutMenu);
    mainMenu_.reset(LoadMenuW(Instance(), MAKEINTRESOURCEW(IDR_MAIN_MENU)));
    if (mainMenu_) {
        RegisterMainMenuImages(mainMenu_.get());
        if (SetMenu(hwnd(), mainMenu_.get()))
            mainMenu_.release(); // the window owns it now and destroys it with itself
    }
    RECT withMenu{};
    GetClientRect(hwnd(), &withMenu);
    if (HMENU system = GetSystemMenu(hwnd(), FALSE)) {
        AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(system, MF_STRING, IDM_SYSTEM_ABOUT, L"About Quorvallis");
    }

    view_.Attach(tree, list, smallIcons_.get());
    actions_.Attach(hwnd(), menuImages_, actionStrip_.get(), [this] { saver_.Changed(*catalogue_); });
    preferences_.Show(hwnd());
    CreateSplitter();
    statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | SBARS_TOOLTIPS,
                                 0, 0, 0, 0, hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUS_BAR)),
                                 Instance(), nullptr);

    tray_.Add(hwnd(), enabled_);
    CreateTooltips();
    view_.ShowTree();
    // The hook is in already; the menu shows its state.
    UpdateToggleMenuItem();

    // The controls stand where the template put them, for its size less the
    // menu bar; the window itself may be smaller already (a small screen).
    RECT designed{0, 0, IDD_PREFERENCES_WIDTH, IDD_PREFERENCES_HEIGHT};
    MapDialogRect(hwnd(), &designed);
    const SIZE laidOutFor{designed.right, designed.bottom - (withoutMenu.bottom - withMenu.bottom)};
    using Rule = AnchoredResize::Rule;
    anchors_.Record(hwnd(), {
                                {IDC_COMMANDS_FRAME, Rule::Grow},
                                {IDC_PREFERENCES_FRAME, Rule::MoveDown},
                                {IDC_AUTO_START, Rule::MoveDown},
                                {IDC_ENABLE_ON_START, Rule::MoveDown},
                                {IDC_FIRST_KEY_LABEL, Rule::MoveDown},
                                {IDC_FIRST_KEY, Rule::MoveDown},
                                {IDC_SECOND_KEY_LABEL, Rule::MoveDown},
                                {IDC_SECOND_KEY, Rule::MoveDown},
                                {IDOK, Rule::MoveDownRight},
                            },
                    laidOutFor);
    RECT client{};
    GetClientRect(hwnd(), &client);
    OnSize(client.right, client.bottom);
}

void DlgPreferences::RegisterMainMenuImages(HMENU menu)
{
    struct ItemImage {
        UINT id;
        int image;
    };
    const ItemImage images[] = {
        {IDM_FILE_CLOSE, kImageClose},          {IDM_GROUP_ADD, kImageAddGroup},
        {IDM_GROUP_EDIT, kImageEditGroup},      {IDM_GROUP_REMOVE, kImageRemoveGroup},
        {IDM_COMMAND_ADD, kImageAddCommand},    {IDM_COMMAND_EDIT, kImageEditCommand},
        {IDM_COMMAND_REMOVE, kImageRemoveCommands}, {IDM_COMMAND_ADD_SCRIPT, kImageAddScript},
        {IDM_COMMAND_TOGGLE_ENABLED, kImageEnable},
    };
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        HMENU submenu = GetSubMenu(menu, i);
        if (!submenu)
            continue;
        menuImages_.RegisterImageList(submenu, actionStrip_.get());
        for (const auto& item : images)
            if (GetMenuState(submenu, item.id, MF_BYCOMMAND) != static_cast<UINT>(-1))
                menuImages_.AddImage(submenu, item.id, item.image);
    }
}

void DlgPreferences::CreateSplitter()
{
    HWND frame = commandsFrame_.hwnd() ? commandsFrame_.hwnd() : Item(IDC_COMMANDS_FRAME);
    RECT client{};
    GetClientRect(frame, &client);
    const RECT place{kSplitterInset, kSplitterTop, client.right - kSplitterInset, client.bottom - kSplitterInset};
    if (!splitter_.Create(frame, place, hwnd()))
        return;
    splitter_.SetPanes(Item(IDC_GROUP_TREE), Item(IDC_COMMAND_LIST));
    splitter_.SetMinimumPaneWidth(kMinimumPaneWidth);
    splitter_.SetDivider(static_cast<int>((client.right - kSplitterInset) * 0.25));
}

void DlgPreferences::FitSplitter()
{
    if (!splitter_.hwnd())
        return;
    RECT client{};
    GetClientRect(GetParent(splitter_.hwnd()), &client);
    MoveWindow(splitter_.hwnd(), kSplitterInset, kSplitterTop, client.right - 2 * kSplitterInset,
               client.bottom - kSplitterTop - kSplitterInset, TRUE);
}

void DlgPreferences::CreateTooltips()
{
    if (!tips_.Create(hwnd(), L"Quorvallis", BalloonTips::Timing{900, 5000, 200}, 300))
        return;
    tips_.Add(toolbar_.searchBox(), kTipSearch);
    tips_.Add(Item(IDC_AUTO_START), kTipAutoStart);
    tips_.Add(Item(IDC_ENABLE_ON_START), kTipEnableOnStart);
    const struct {
        int id;
        const wchar_t* text;
    } combos[] = {{IDC_FIRST_KEY, kTipFirstKey}, {IDC_SECOND_KEY, kTipSecondKey}};
    for (const auto& combo : combos) {
        HWND window = Item(combo.id);
        tips_.Add(window, combo.text);
        // The mouse rests on the combo box inside the extended one.
        if (HWND inner = reinterpret_cast<HWND>(SendMessageW(window, CBEM_GETCOMBOCONTROL, 0, 0)))
            tips_.Add(inner, combo.text);
    }
}

void DlgPreferences::OnDestroy()
{
    if (enabled_) {
        UninstallHook();
        enabled_ = false;
    }
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

// Problems found while starting are shown once the window is up, so the
// start itself goes on (the hook is installed before the box appears).
void DlgPreferences::ReportProblem(const std::wstring& text)
{
    pendingReport_ = text;
    PostMessageW(hwnd(), WM_REPORTPROBLEM, 0, 0);
}

void DlgPreferences::UpdateToggleMenuItem()
{
    HMENU menu = GetMenu(hwnd());
    if (!menu)
        return;
    ModifyMenuW(menu, IDM_COMMAND_TOGGLE_ENABLED, MF_BYCOMMAND | MF_STRING, IDM_COMMAND_TOGGLE_ENABLED,
                enabled_ ? L"Disable" : L"Enable");
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        HMENU submenu = GetSubMenu(menu, i);
        if (submenu && GetMenuState(submenu, IDM_COMMAND_TOGGLE_ENABLED, MF_BYCOMMAND) != static_cast<UINT>(-1))
            menuImages_.AddImage(submenu, IDM_COMMAND_TOGGLE_ENABLED, enabled_ ? kImageDisable : kImageEnable);
    }
}

void DlgPreferences::SetEnabled(bool enabled)
{
    if (enabled) {
        if (enabled_)
            return;
        if (!InstallHook(hwnd()))
            return;
        enabled_ = true;
    } else {
        UpdateToggleMenuItem();
        if (!enabled_)
            return;
        UninstallHook();
        enabled_ = false;
    }
    UpdateToggleMenuItem();
    // Typing goes on in the application that was in front before the menu.
    if (rememberedForeground_ && IsWindow(rememberedForeground_))
        SetForegroundWindow(rememberedForeground_);
    tray_.ShowState(enabled_);
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
        // then exit from the message loop.
        if (!exitAsked_) {
            exitAsked_ = true;
            HWND window = hwnd();
            modal_.CancelAll(window, [window] { PostMessageW(window, WM_EXITLATER, 0, 0); });
        }
        return;
    }
    exiting_ = true;
    if (hwnd())
        DestroyWindow(hwnd());
    PostQuitMessage(0);
}

void DlgPreferences::OnCommand(UINT id, UINT code, HWND)
{
    // A command can come (from the popup, from outside) before the window
    // was built.
    FinishStart();
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
    case IDM_FILE_CLOSE:
        ShowWindow(hwnd(), SW_HIDE);
        break;
    case IDM_HELP_ABOUT:
        ShowAbout();
        break;
    case IDM_TRAY_PREFERENCES:
        ShowFromTray();
        break;
    case IDM_TRAY_ENABLE:
        SetEnabled(true);
        break;
    case IDM_TRAY_DISABLE:
        SetEnabled(false);
        break;
    case IDM_COMMAND_TOGGLE_ENABLED:
        SetEnabled(!enabled_);
        break;
    case IDM_TRAY_EXIT:
        Exit();
        break;
    default:
        break;
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
    if (header.hwndFrom == view_.list() && header.code == NM_DBLCLK) {
        actions_.EditCommand();
        SetResult(0);
        return true;
    }
    if ((header.hwndFrom == view_.list() || header.hwndFrom == view_.tree()) && header.code == NM_RCLICK) {
        POINT where{};
        GetCursorPos(&where);
        if (header.hwndFrom == view_.list())
            actions_.ShowListMenu(where);
        else
            actions_.ShowTreeMenu(where);
        // Answered: no WM_CONTEXTMENU follows.
        SetResult(TRUE);
        return true;
    }
    return false;
}

void DlgPreferences::OnContextMenu(HWND window, LPARAM position)
{
    // The menu key or Shift+F10: at the control's corner.
    POINT where{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (where.x == -1 && where.y == -1) {
        where = POINT{0, 0};
        ClientToScreen(window, &where);
    }
    if (window == view_.list())
        actions_.ShowListMenu(where);
    else if (window == view_.tree())
        actions_.ShowTreeMenu(where);
}

void DlgPreferences::OnSize(int width, int height)
{
    if (!built_)
        return;
    anchors_.Apply(width, height);
    FitSplitter();
    toolbar_.Fit();
    // The toolbar's gradient spans the new width; the status bar places
    // itself without drawing, over what was there before.
    InvalidateRect(toolbar_.hwnd(), nullptr, TRUE);
    if (statusBar_) {
        SendMessageW(statusBar_, WM_SIZE, 0, 0);
        InvalidateRect(statusBar_, nullptr, TRUE);
    }
}

void DlgPreferences::PaintBackground(HDC dc, SIZE size) const
{
    RECT all{0, 0, size.cx, size.cy};
    FillRect(dc, &all, colours_.BackgroundBrush());
    if (toolbar_.hwnd())
        FillHorizontalGradient(dc, toolbar_.Bounds(), kToolbarLeft, kToolbarRight);
}

bool DlgPreferences::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT menuResult = 0;
    if (menuImages_.HandleMenuMessage(hwnd(), message, wParam, lParam, &menuResult)) {
        SetResult(menuResult);
        return true;
    }
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        return true;
    case WM_KEYHOOK: {
        // Shift and Caps Lock follow every key reported, in order. A key the
        // hook stopped waiting for has reached the application already;
        // acting on it now would act on it twice.
        const std::uint32_t sequence = KeyHookSequence(lParam);
        popup_.NoteKeyEvent(static_cast<unsigned>(wParam), static_cast<std::uint32_t>(lParam));
        if (!TakeHookKey(hookShared_, sequence)) {
            SetResult(TypingStateMachine::kPass);
            return true;
        }
        const int answer = typing_.OnKeyEvent(static_cast<unsigned>(wParam), static_cast<std::uint32_t>(lParam));
        AnswerHookKey(hookShared_, sequence, answer != TypingStateMachine::kSwallow);
        // The hook's wait ends with the reply, not with the search and the
        // painting of the completion that come after it.
        ReplyMessage(answer);
        typing_.UpdateCompletion();
        SetResult(answer);
        return true;
    }
    case WM_COMMANDEXECUTED:
        view_.OnCommandExecuted(static_cast<int>(wParam));
        SetResult(0);
        return true;
    case WM_SEARCHCOMMANDS:
        // Whoever sent it, the text comes from the search box.
        FinishStart();
        view_.Search(toolbar_.SearchText());
        SetResult(0);
        return true;
    case WM_TRAYNOTIFY:
        if (TrayIcon::OpensMenu(wParam, lParam))
            tray_.ShowMenu(menuImages_, actionStrip_.get(), enabled_, rememberedForeground_);
        SetResult(0);
        return true;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return true;
    case WM_SYSCOMMAND:
        if (wParam == IDM_SYSTEM_ABOUT) {
            ShowAbout();
            SetResult(0);
            return true;
        }
        return false;
    case WM_NOTIFY:
        return lParam && OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_CONTEXTMENU:
        OnContextMenu(reinterpret_cast<HWND>(wParam), lParam);
        return true;
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return true;
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
    case WM_CTLCOLORDLG:
        SetDirectResult(reinterpret_cast<INT_PTR>(colours_.BackgroundBrush()));
        return true;
    case WM_CLOSE:
        ShowWindow(hwnd(), SW_HIDE);
        return true;
    case WM_QUERYENDSESSION:
        // Agree first; the exit follows right after the answer.
        SetResult(TRUE);
        PostMessageW(hwnd(), WM_EXITLATER, 0, 0);
        return true;
    case WM_ENDSESSION:
        if (wParam) {
            Exit();
            // Still in an editor: the session may end as soon as this
            // returns, so what was accepted goes to the file first.
            if (!exiting_)
                saver_.WaitUntilIdle(static_cast<int>(CatalogueSaveQueue::kExitWait.count()));
        }
        SetResult(0);
        return true;
    case WM_EXITLATER:
        Exit();
        return true;
    case WM_FINISHSTART:
        FinishStart();
        return true;
    case WM_SHOWWINDOW:
        // Whatever shows the window first finds it built.
        if (wParam)
            FinishStart();
        return false;
    case WM_WINDOWPOSCHANGED:
        // Rows held back while the window was hidden are listed as it shows.
        if (lParam && (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW))
            view_.OnShown();
        return false;
    case WM_REPORTPROBLEM:
        // The tray icon is there while the box is up.
        FinishStart();
        if (!pendingReport_.empty()) {
            const std::wstring text = std::move(pendingReport_);
            pendingReport_.clear();
            ShowMessage(text, MB_ICONWARNING);
        }
        return true;
    case WM_SAVEFINISHED: {
        const std::wstring report = saver_.TakeReport();
        if (!report.empty())
            ShowMessage(report, MB_ICONERROR);
        return true;
    }
    case WM_DESTROY:
        OnDestroy();
        return true;
    default:
        break;
    }
    if (tray_.OnShellMessage(message))
        return true;
    // The Close button draws itself on its reflected draw request.
    INT_PTR result = 0;
    if (!colours_.RouteMessage(hwnd(), message, wParam, lParam, &result))
        return false;
    SetDirectResult(result);
    return true;
}
