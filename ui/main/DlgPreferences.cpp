#include "ui/main/DlgPreferences.h"

#include "ArtworkIds.h"
#include "MainWindowIds.h"
#include "catalogue/QuorvallisCommands.h"
#include "hook/QuorvallisHOOK.h"
#include "hook/QuorvallisHOOKShared.h"
#include "platform/IFileStore.h"
#include "platform/ProgramFolder.h"
#include "store/CatalogueFile.h"

#include <commctrl.h>
#include <shellapi.h>

namespace {

constexpr int kWindowIcon = IDI_QV_PROGRAM;

// Posted to itself: problems found while starting are reported once the
// window is up; a log-off query ends the program after answering it.
constexpr UINT WM_REPORTPROBLEM = WM_APP + 1;
constexpr UINT WM_EXITLATER = WM_APP + 2;

struct KeyChoice {
    const wchar_t* text;
    unsigned virtualKey;
};

// Pictures of the action strip.
constexpr int kImageAddCommand = 0, kImageEditCommand = 1, kImageRemoveCommands = 2, kImageAddScript = 3,
              kImageAddGroup = 4, kImageEditGroup = 5, kImageRemoveGroup = 6, kImageClose = 7, kImageEnable = 9,
              kImageDisable = 10;

constexpr KeyChoice kControlKeys[] = {
    {L"Ctrl", VK_CONTROL}, {L"Shift", VK_SHIFT}, {L"F2", VK_F2},   {L"F3", VK_F3},   {L"F4", VK_F4},
    {L"F5", VK_F5},        {L"F6", VK_F6},       {L"F7", VK_F7},   {L"F8", VK_F8},   {L"F9", VK_F9},
    {L"F10", VK_F10},      {L"F11", VK_F11},     {L"F12", VK_F12},
};

// The icons come with the artwork; until a picture is there the program
// still runs with the system's application icon.
HICON LoadIconOrFallback(HINSTANCE instance, int id, int size)
{
    HICON icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
    if (!icon)
        icon = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
    return icon;
}

} // namespace

DlgPreferences::DlgPreferences(boost::shared_ptr<QuorvallisCommands> catalogue, ILineWorkers& workers,
                               IFileStore& files, const std::wstring& programPath)
    : DialogBase(IDD_PREFERENCES),
      catalogue_(std::move(catalogue)),
      files_(files),
      storePath_(FolderOfProgram(programPath) + L"Preferences.data"),
      savePath_(storePath_),
      typing_(*catalogue_, popup_, workers)
{
}

DlgPreferences::~DlgPreferences() = default;

void DlgPreferences::OnInitDialog()
{
    catalogue_->SetMainWindow(hwnd());
    hookShared_ = FindHookShared(GetModuleHandleW(L"QuorvallisHOOK.dll"));

    windowIcon_.reset(LoadIconOrFallback(Instance(), kWindowIcon, 32));
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(windowIcon_.get()));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(windowIcon_.get()));

    const LoadResult loaded = Load(storePath_, *catalogue_, files_);
    savePath_ = loaded.savePath;
    if (loaded.outcome == LoadOutcome::Damaged || loaded.outcome == LoadOutcome::Unreadable) {
        std::wstring text = L"The preferences file \"" + storePath_ + L"\" could not be read (" + loaded.error +
                            L"). Quorvallis starts with the catalogue it had";
        if (!loaded.keptAsidePath.empty())
            text += L"; the damaged file was kept as \"" + loaded.keptAsidePath + L"\"";
        if (savePath_ != storePath_)
            text += L". That file is left as it is; your changes are saved to \"" + savePath_ + L"\"";
        ReportProblem(text + L".");
    }

    actionStrip_.Build(IDB_QV_ACTIONS, 10);
    mainMenu_.reset(LoadMenuW(Instance(), MAKEINTRESOURCEW(IDR_MAIN_MENU)));
    if (mainMenu_) {
        RegisterMainMenuImages(mainMenu_.get());
        if (SetMenu(hwnd(), mainMenu_.get()))
            mainMenu_.release(); // the window owns it now and destroys it with itself
    }

    FillKeyCombo(IDC_FIRST_KEY, catalogue_->firstControlKey);
    FillKeyCombo(IDC_SECOND_KEY, catalogue_->secondControlKey);
    CheckDlgButton(hwnd(), IDC_ENABLE_ON_START, catalogue_->enableOnStart ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hwnd(), IDC_AUTO_START, catalogue_->autoStart ? BST_CHECKED : BST_UNCHECKED);

    tray_.Add(hwnd(), enabled_);

    SetEnabled(catalogue_->enableOnStart);
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

void DlgPreferences::FillKeyCombo(int comboId, unsigned selectedKey)
{
    HWND combo = Item(comboId);
    int selected = -1;
    for (const auto& choice : kControlKeys) {
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_TEXT | CBEIF_LPARAM;
        item.iItem = -1;
        item.pszText = const_cast<wchar_t*>(choice.text);
        item.lParam = choice.virtualKey;
        const LRESULT index = SendMessageW(combo, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        if (choice.virtualKey == selectedKey)
            selected = static_cast<int>(index);
    }
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void DlgPreferences::OnDestroy()
{
    if (enabled_) {
        UninstallHook();
        enabled_ = false;
    }
    tray_.Remove();
    SaveCatalogue();
    catalogue_->SetMainWindow(nullptr);
}

void DlgPreferences::SaveCatalogue()
{
    if (!Save(savePath_, *catalogue_, files_)) {
        MessageBoxW(nullptr,
                    (L"Quorvallis could not save its preferences to \"" + savePath_ +
                     L"\". Changes made since the last save are lost; the previous file was left as it was.")
                        .c_str(),
                    L"Quorvallis", MB_OK | MB_ICONERROR);
    }
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
    ShowWindow(hwnd(), SW_SHOW);
    BringWindowToTop(hwnd());
}

void DlgPreferences::Exit()
{
    if (exiting_)
        return;
    exiting_ = true;
    if (hwnd())
        DestroyWindow(hwnd());
    PostQuitMessage(0);
}

void DlgPreferences::OnCommand(UINT id, UINT code, HWND)
{
    switch (id) {
    case IDOK:
    case IDCANCEL:
    case IDM_FILE_CLOSE:
        ShowWindow(hwnd(), SW_HIDE);
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
    case IDC_ENABLE_ON_START:
        if (code == BN_CLICKED)
            catalogue_->enableOnStart = IsDlgButtonChecked(hwnd(), IDC_ENABLE_ON_START) == BST_CHECKED;
        break;
    case IDC_FIRST_KEY:
    case IDC_SECOND_KEY:
        if (code == CBN_SELENDOK) {
            const LRESULT index = SendDlgItemMessageW(hwnd(), static_cast<int>(id), CB_GETCURSEL, 0, 0);
            if (index >= 0 && index < static_cast<LRESULT>(std::size(kControlKeys))) {
                const unsigned key = kControlKeys[index].virtualKey;
                (id == IDC_FIRST_KEY ? catalogue_->firstControlKey : catalogue_->secondControlKey) = key;
            }
        }
        break;
    default:
        break;
    }
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
        SetResult(answer);
        return true;
    }
    case WM_COMMANDEXECUTED:
        // The count is already raised in the catalogue; the list that shows it
        // refreshes its cell once it exists.
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
    case WM_CLOSE:
        ShowWindow(hwnd(), SW_HIDE);
        return true;
    case WM_QUERYENDSESSION:
        // Agree first; the exit follows right after the answer.
        SetResult(TRUE);
        PostMessageW(hwnd(), WM_EXITLATER, 0, 0);
        return true;
    case WM_ENDSESSION:
        if (wParam)
            Exit();
        SetResult(0);
        return true;
    case WM_EXITLATER:
        Exit();
        return true;
    case WM_REPORTPROBLEM:
        if (!pendingReport_.empty()) {
            const std::wstring text = std::move(pendingReport_);
            pendingReport_.clear();
            MessageBoxW(hwnd(), text.c_str(), L"Quorvallis", MB_OK | MB_ICONWARNING);
        }
        return true;
    case WM_DESTROY:
        OnDestroy();
        return true;
    default:
        return tray_.OnShellMessage(message);
    }
}
