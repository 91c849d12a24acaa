// Shows the custom controls in their states for screenshots:
//   QvControlsShell gallery | classic | menu | about | picker
// "gallery" shows banners, group box, buttons (normal, pressed, disabled,
// icon only, rounded) and both strips; "classic" the same without visual
// styles; "menu" opens a popup menu.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "ArtworkIds.h"
#include "ui/controls/CColourDialog.h"
#include "ui/controls/COwnerDrawMenu.h"
#include "ui/controls/COwnerDrawnButton.h"
#include "ui/about/DlgAbout.h"
#include "ui/iconpicker/DlgSelectIcon.h"
#include "ui/controls/GroupBoxEx.h"
#include "ui/controls/HeaderCtrl.h"
#include "ui/controls/IconSet.h"
#include "UnmanagedWindows.h"

namespace {

struct Gallery {
    HeaderCtrl banner;
    HeaderCtrl plainBanner;
    GroupBoxEx box;
    COwnerDrawnButton buttons[5];
    IconSet icons;
    IconSet actions;
    COwnerDrawMenu menu;
    CColourDialog colours;
    UniqueMenu popup;
    bool openMenu = false;
};
Gallery* g_gallery = nullptr;

HICON Icon(int id)
{
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0));
}

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id)
{
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

void PaintStrips(HDC dc)
{
    // Both strips through their image lists, as the list and menus show them.
    for (int i = 0; i < g_gallery->icons.Count(); ++i)
        ImageList_Draw(g_gallery->icons.get(), i, dc, 10 + (i % 20) * 22, 330 + (i / 20) * 22, ILD_TRANSPARENT);
    for (int i = 0; i < g_gallery->actions.Count(); ++i)
        ImageList_Draw(g_gallery->actions.get(), i, dc, 10 + i * 22, 425, ILD_TRANSPARENT);
}

LRESULT CALLBACK GalleryProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT menuResult = 0;
    if (g_gallery && g_gallery->menu.HandleMenuMessage(window, message, wParam, lParam, &menuResult))
        return menuResult;
    INT_PTR routed = 0;
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        PaintStrips(dc);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, g_gallery->colours.BackgroundBrush());
        return 1;
    }
    case WM_TIMER:
        KillTimer(window, wParam);
        if (g_gallery->openMenu)
            TrackPopupMenu(g_gallery->popup.get(), TPM_LEFTBUTTON, 60, 60, 0, window, nullptr);
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default:
        if (g_gallery && g_gallery->colours.RouteMessage(window, message, wParam, lParam, &routed))
            return routed;
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

int RunGallery(bool openMenu, bool classic)
{
    Gallery gallery;
    g_gallery = &gallery;
    gallery.openMenu = openMenu;
    gallery.icons.Build(IDB_QV_ICON_SET, 20);
    gallery.actions.Build(IDB_QV_ACTIONS, 10);

    WNDCLASSW wc{};
    wc.lpfnWndProc = GalleryProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"QvGallery";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, L"QvGallery", L"Controls", WS_POPUP | WS_VISIBLE, 0, 0, 640, 460, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    Child(window, L"HEADER_CTRL", L"", 0, 0, 0, 640, 58, 1020);
    gallery.banner.Attach(window, 1020);
    gallery.banner.SetTitle(L"Select an icon", L"Pick an icon from the list and click OK to set it");
    gallery.banner.SetIcon(IDI_QV_BANNER);
    Child(window, L"HEADER_CTRL", L"", 0, 0, 62, 640, 54, 1021);
    gallery.plainBanner.Attach(window, 1021);
    gallery.plainBanner.SetTitle(L"A banner without icon", L"The lines still start at x 40");

    HWND frame = Child(window, L"BUTTON", L"Commands", BS_GROUPBOX, 10, 124, 300, 190, 1002);
    SendMessageW(frame, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    gallery.box.Attach(window, 1002);

    const wchar_t* labels[5] = {L"OK", L"Cancel", L"", L"Disabled", L"Rounded"};
    for (int i = 0; i < 5; ++i) {
        HWND button = Child(window, L"BUTTON", labels[i], BS_PUSHBUTTON, 330, 124 + i * 36, 100, 26, 1 + i);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        gallery.buttons[i].Attach(window, 1 + i);
    }
    gallery.buttons[0].SetIcons(Icon(IDI_QV_OK));
    gallery.buttons[1].SetIcons(Icon(IDI_QV_CANCEL));
    gallery.buttons[2].SetIcons(gallery.icons.MakeIcon(10));
    gallery.buttons[3].SetIcons(Icon(IDI_QV_OK));
    EnableWindow(gallery.buttons[3].hwnd(), FALSE);
    gallery.buttons[4].SetIcons(Icon(IDI_QV_OK));
    gallery.buttons[4].SetRounded(true);
    for (auto& button : gallery.buttons)
        button.SetClassicOnly(classic);
    // A pressed copy drawn as the button is while held down.
    HWND pressed = Child(window, L"BUTTON", L"Pressed", BS_PUSHBUTTON, 450, 124, 100, 26, 6);
    SendMessageW(pressed, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    static COwnerDrawnButton pressedButton;
    pressedButton.Attach(window, 6);
    pressedButton.SetIcons(Icon(IDI_QV_CANCEL));
    pressedButton.SetClassicOnly(classic);
    SendMessageW(pressed, BM_SETSTATE, TRUE, 0);

    gallery.popup.reset(CreatePopupMenu());
    AppendMenuW(gallery.popup.get(), MF_STRING, 1502, L"&Preferences");
    AppendMenuW(gallery.popup.get(), MF_STRING, 1504, L"&Disable\tCtrl+D");
    AppendMenuW(gallery.popup.get(), MF_STRING | MF_CHECKED, 1505, L"Checked item");
    AppendMenuW(gallery.popup.get(), MF_STRING | MF_GRAYED, 1506, L"Greyed item");
    AppendMenuW(gallery.popup.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(gallery.popup.get(), MF_STRING, 1501, L"E&xit");
    gallery.menu.RegisterImageList(gallery.popup.get(), gallery.actions.get());
    gallery.menu.AddImage(gallery.popup.get(), 1502, 12);
    gallery.menu.AddImage(gallery.popup.get(), 1504, 10);
    gallery.menu.AddImage(gallery.popup.get(), 1506, 4);
    gallery.menu.AddImage(gallery.popup.get(), 1501, 11);
    if (openMenu)
        SetTimer(window, 1, 300, nullptr);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    pressedButton.Detach();
    g_gallery = nullptr;
    return 0;
}

// Prints where a driver should click: picture 12 of the picker's list, and
// the OK and Cancel buttons, in screen coordinates.
void CALLBACK ReportTargets(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = GetActiveWindow();
    if (!dialog)
        return;
    KillTimer(nullptr, timer);
    auto centre = [](HWND window, RECT box, const char* name) {
        POINT at{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
        ClientToScreen(window, &at);
        std::printf("%s %ld %ld\n", name, at.x, at.y);
    };
    if (HWND list = GetDlgItem(dialog, IDC_QV_ICON_LIST)) {
        RECT box{};
        box.left = LVIR_ICON;
        SendMessageW(list, LVM_GETITEMRECT, 12, reinterpret_cast<LPARAM>(&box));
        centre(list, box, "item12");
    }
    for (int id : {IDOK, IDCANCEL}) {
        if (HWND button = GetDlgItem(dialog, id)) {
            RECT box;
            GetClientRect(button, &box);
            centre(button, box, id == IDOK ? "ok" : "cancel");
        }
    }
    std::fflush(stdout);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int)
{
    int exitCode = 0;
    if (RunUnmanagedUnderWine(&exitCode))
        return exitCode;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    const std::wstring scene = commandLine ? commandLine : L"";
    SetTimer(nullptr, 0, 300, &ReportTargets);
    if (scene == L"about") {
        DlgAbout about;
        return static_cast<int>(about.RunModal(nullptr));
    }
    if (scene == L"picker") {
        DlgSelectIcon picker;
        const INT_PTR result = picker.RunModal(nullptr);
        return result == IDOK ? 100 + picker.pickedIndex() : static_cast<int>(result);
    }
    return RunGallery(scene == L"menu", scene == L"classic");
}
