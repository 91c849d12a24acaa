// The custom controls, the icon set, the icon picker and the about box, run
// against the real Win32 controls (under Wine in the Windows build).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "ArtworkIds.h"
#include "GuiObjectCounter.h"
#include "UnmanagedWindows.h"
#include "platform/GuardedCall.h"
#include "ui/controls/COwnerDrawMenu.h"
#include "ui/controls/COwnerDrawnButton.h"
#include "ui/about/DlgAbout.h"
#include "ui/iconpicker/DlgSelectIcon.h"
#include "ui/controls/GroupBoxEx.h"
#include "ui/controls/HeaderCtrl.h"
#include "ui/controls/HyperLink.h"
#include "ui/controls/IconSet.h"
#include "ui/controls/SelfPaintedControl.h"
#include "ui/controls/ThemeHelper.h"

namespace {

// A top-down 32-bit surface whose pixels the test can read.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr))
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<DWORD*>(bits);
        old_ = SelectObject(dc_.get(), bitmap_.get());
    }
    ~Canvas() { SelectObject(dc_.get(), old_); }
    HDC dc() const { return dc_.get(); }
    void Fill(COLORREF colour)
    {
        GdiFlush();
        UniqueGdi<HBRUSH> brush(CreateSolidBrush(colour));
        RECT all{0, 0, width_, height_};
        FillRect(dc(), &all, brush.get());
    }
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        const DWORD p = bits_[y * width_ + x];
        return RGB((p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff);
    }
    // Pixels in [x0,x1) x [y0,y1) for which `test` holds.
    int Count(int x0, int y0, int x1, int y1, const std::function<bool(COLORREF)>& test) const
    {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += test(At(x, y)) ? 1 : 0;
        return n;
    }
    // Bounding box of pixels that differ from `background`.
    RECT Bounds(COLORREF background) const
    {
        RECT r{width_, height_, -1, -1};
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (At(x, y) != background) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x);
                    r.bottom = std::max<LONG>(r.bottom, y);
                }
        return r;
    }

private:
    int width_, height_;
    UniqueMemoryDc dc_;
    UniqueGdi<HBITMAP> bitmap_;
    DWORD* bits_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

bool Near(COLORREF a, COLORREF b, int tolerance = 4)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

bool Dark(COLORREF c)
{
    return GetRValue(c) + GetGValue(c) + GetBValue(c) < 250;
}

// Runs `action` on the first visible dialog of this thread once it is up.
std::function<void(HWND)> g_action;

HWND FindDialog()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM out) -> BOOL {
            wchar_t name[32] = L"";
            GetClassNameW(window, name, 32);
            if (std::wstring(name) == L"#32770" && IsWindowVisible(window)) {
                *reinterpret_cast<HWND*>(out) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND dialog = FindDialog();
    if (!dialog || !g_action)
        return;
    KillTimer(nullptr, id);
    auto action = std::move(g_action);
    g_action = nullptr;
    action(dialog);
}

INT_PTR RunWith(DialogBase& dialog, std::function<void(HWND)> action)
{
    g_action = std::move(action);
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &OnTimer);
    const INT_PTR result = dialog.RunModal(nullptr);
    KillTimer(nullptr, timer);
    g_action = nullptr;
    return result;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[256] = L"";
    GetWindowTextW(window, text, 256);
    return text;
}

// A plain top-level window with one push button (id 1), for the button tests.
struct ButtonHost {
    UniqueWindow parent;
    HWND button = nullptr;
    explicit ButtonHost(const wchar_t* text)
    {
        parent.reset(CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr));
        button = CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 90, 30,
                                 parent.get(), reinterpret_cast<HMENU>(1), GetModuleHandleW(nullptr), nullptr);
        SetActiveWindow(parent.get());
    }
};

HICON LoadIconResource(int id, int size)
{
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
}

DRAWITEMSTRUCT DrawRequest(HWND button, HDC dc, UINT state)
{
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = 1;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = button;
    item.hDC = dc;
    item.rcItem = RECT{0, 0, 90, 30};
    return item;
}

} // namespace

// ---------------------------------------------------------------- artwork

TEST(Artwork, IconStripHas79PicturesWithAlphaAndNoMaskColour)
{
    UniqueGdi<HBITMAP> strip(static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_QV_ICON_SET), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    ASSERT_TRUE(strip);
    DIBSECTION dib{};
    ASSERT_TRUE(GetObjectW(strip.get(), sizeof(dib), &dib));
    EXPECT_EQ(1264, dib.dsBm.bmWidth);
    EXPECT_EQ(16, dib.dsBm.bmHeight);
    ASSERT_EQ(32, dib.dsBm.bmBitsPixel);
    const auto* bits = static_cast<const BYTE*>(dib.dsBm.bmBits);
    int partial = 0, magenta = 0;
    int opaquePerPicture[79] = {};
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 1264; ++x) {
            const BYTE* p = bits + y * dib.dsBm.bmWidthBytes + x * 4;
            const BYTE alpha = p[3];
            if (alpha > 0 && alpha < 255)
                ++partial;
            if (p[2] == 255 && p[1] == 0 && p[0] == 255)
                ++magenta;
            if (alpha > 128)
                ++opaquePerPicture[x / 16];
        }
    }
    EXPECT_GT(partial, 79) << "edges are anti-aliased";
    EXPECT_EQ(0, magenta);
    for (int i = 0; i < 79; ++i)
        EXPECT_GT(opaquePerPicture[i], 20) << "picture " << i << " is (nearly) empty";
}

TEST(Artwork, StripsAreStoredWithStraightAlphaInBitfields)
{
    // What LoadImage and ImageList_AddMasked read: the resource's own header.
    for (int id : {IDB_QV_ICON_SET, IDB_QV_ACTIONS}) {
        HRSRC found = FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), RT_BITMAP);
        ASSERT_TRUE(found) << id;
        const auto* header =
            static_cast<const BITMAPV5HEADER*>(LockResource(LoadResource(GetModuleHandleW(nullptr), found)));
        ASSERT_TRUE(header);
        ASSERT_GE(header->bV5Size, sizeof(BITMAPV4HEADER));
        EXPECT_EQ(32, header->bV5BitCount);
        EXPECT_EQ(16, std::abs(header->bV5Height));
        EXPECT_EQ(id == IDB_QV_ICON_SET ? 1264 : 208, header->bV5Width);
        EXPECT_EQ(static_cast<DWORD>(BI_BITFIELDS), header->bV5Compression);
        EXPECT_EQ(0xff000000u, header->bV5AlphaMask);
    }
}

TEST(Artwork, ImageListsCutTheStrips)
{
    IconSet icons;
    ASSERT_TRUE(icons.Build(IDB_QV_ICON_SET, 4));
    EXPECT_EQ(79, icons.Count());
    IconSet actions;
    ASSERT_TRUE(actions.Build(IDB_QV_ACTIONS, 10));
    EXPECT_EQ(13, actions.Count());
    EXPECT_FALSE(IconSet().Build(9999, 4));

    // Transparency survives: a transparent corner keeps the background, the
    // picture's body covers it.
    Canvas canvas(16, 16);
    canvas.Fill(RGB(255, 0, 255));
    ImageList_Draw(icons.get(), 11, canvas.dc(), 0, 0, ILD_TRANSPARENT); // red power button
    EXPECT_TRUE(Near(RGB(255, 0, 255), canvas.At(0, 0), 0));
    EXPECT_FALSE(Near(RGB(255, 0, 255), canvas.At(8, 12), 40));

    UniqueIcon icon(icons.MakeIcon(12));
    EXPECT_TRUE(icon);
    EXPECT_EQ(nullptr, icons.MakeIcon(-1));
    EXPECT_EQ(nullptr, icons.MakeIcon(79));
}

TEST(Artwork, IconsAndGroupBoxPiecesLoadInTheirSizes)
{
    const struct {
        int id;
        int size;
    } icons[] = {{IDI_QV_PROGRAM, 32}, {IDI_QV_TRAY_ENABLED, 16}, {IDI_QV_TRAY_DISABLED, 16},
                 {IDI_QV_OK, 16},      {IDI_QV_CANCEL, 16},       {IDI_QV_BANNER, 32}};
    for (const auto& icon : icons) {
        UniqueIcon loaded(LoadIconResource(icon.id, icon.size));
        EXPECT_TRUE(loaded) << icon.id;
    }
    const struct {
        int id;
        int width;
        int height;
    } pieces[] = {{IDB_QV_GROUPBOX_TOP_LEFT, 14, 31},     {IDB_QV_GROUPBOX_TOP_RIGHT, 14, 31},
                  {IDB_QV_GROUPBOX_TITLE_MIDDLE, 1, 31},  {IDB_QV_GROUPBOX_BOTTOM_LEFT, 10, 14},
                  {IDB_QV_GROUPBOX_BOTTOM_RIGHT, 10, 14}, {IDB_QV_GROUPBOX_BOTTOM_MIDDLE, 1, 14}};
    for (const auto& piece : pieces) {
        UniqueGdi<HBITMAP> bitmap(static_cast<HBITMAP>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(piece.id), IMAGE_BITMAP, 0, 0, 0)));
        ASSERT_TRUE(bitmap) << piece.id;
        BITMAP info{};
        GetObjectW(bitmap.get(), sizeof(info), &info);
        EXPECT_EQ(piece.width, info.bmWidth) << piece.id;
        EXPECT_EQ(piece.height, info.bmHeight) << piece.id;
    }
}

// ---------------------------------------------------------------- theme helper

TEST(ThemeHelper, FindsTheStyleLibraryAndItsFunctions)
{
    ThemeHelper theme;
    EXPECT_TRUE(theme.IsLoaded());
    EXPECT_EQ(7, theme.FunctionCount());
    // Whatever the desktop's style, the calls answer without failing hard.
    HTHEME data = theme.OpenThemeData(nullptr, L"Button");
    theme.CloseThemeData(data);
}

TEST(ThemeHelper, WithoutTheLibraryEverythingReportsFailure)
{
    ThemeHelper theme(L"NoSuchStyleLibrary.dll");
    EXPECT_FALSE(theme.IsLoaded());
    EXPECT_EQ(0, theme.FunctionCount());
    EXPECT_FALSE(theme.IsAppThemed());
    EXPECT_FALSE(theme.IsThemeActive());
    EXPECT_EQ(nullptr, theme.OpenThemeData(nullptr, L"Button"));
    Canvas canvas(8, 8);
    RECT r{0, 0, 8, 8};
    EXPECT_FALSE(theme.DrawThemeBackground(reinterpret_cast<HTHEME>(1), canvas.dc(), 1, 1, &r, nullptr));
    EXPECT_FALSE(theme.DrawThemeParentBackground(nullptr, canvas.dc(), &r));
    EXPECT_FALSE(theme.DrawThemeText(reinterpret_cast<HTHEME>(1), canvas.dc(), 1, 1, L"x", 1, 0, &r));
}

// ---------------------------------------------------------------- banner

TEST(HeaderCtrl, PaintsGradientTitleAndSubtitle)
{
    HeaderCtrl banner;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    EXPECT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"HEADER_CTRL", &wc));

    banner.SetTitle(L"Select an icon", L"Pick an icon from the list and click OK to set it");
    Canvas canvas(400, 56);
    banner.PaintContent(canvas.dc(), SIZE{400, 56});
    EXPECT_TRUE(Near(HeaderCtrl::kStartColour, canvas.At(0, 52), 6));
    EXPECT_TRUE(Near(HeaderCtrl::kEndColour, canvas.At(399, 52), 6));
    EXPECT_GT(canvas.Count(40, 4, 400, 24, Dark), 30) << "title";
    EXPECT_GT(canvas.Count(40, 28, 400, 48, Dark), 30) << "subtitle";
    EXPECT_EQ(0, canvas.Count(0, 0, 40, 56, Dark)) << "without an icon the left stays clear";

    ASSERT_TRUE(banner.SetIcon(IDI_QV_BANNER));
    Canvas withIcon(400, 56);
    banner.PaintContent(withIcon.dc(), SIZE{400, 56});
    EXPECT_GT(withIcon.Count(4, 4, 36, 36,
                             [](COLORREF c) { return GetRValue(c) > 240 && GetGValue(c) > 240 && GetBValue(c) > 240; }),
              20)
        << "the icon's white card";
    EXPECT_FALSE(banner.SetIcon(9999));
    EXPECT_EQ(nullptr, banner.icon());
}

// Above 96 pixels per inch the fonts grow, and the lines they are drawn in
// with them: no line is cut at its old height.
TEST(HeaderCtrl, LinesGrowWithThePixelsPerInch)
{
    const auto darkRows = [](int pixelsPerInch, int y0, int y1) {
        HeaderCtrl banner(pixelsPerInch);
        banner.SetTitle(L"Edit the group", L"Give the group a name and pick its icon");
        Canvas canvas(500, 100);
        banner.PaintContent(canvas.dc(), SIZE{500, 100});
        return canvas.Count(40, y0, 500, y1, Dark);
    };
    struct Case {
        int pixelsPerInch, y0, y1;
        bool inked;
        const char* what;
    };
    const Case cases[] = {
        {144, 24, 28, true, "the title below 24 pixels"},
        {144, 48, 60, true, "the subtitle below 48 pixels"},
        {96, 24, 28, false, "a gap between the lines"},
        {96, 48, 60, false, "nothing below the subtitle"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(darkRows(c.pixelsPerInch, c.y0, c.y1) > 0, c.inked) << c.pixelsPerInch << ": " << c.what;
}

// ---------------------------------------------------------------- buttons

TEST(COwnerDrawnButton, DrawsEachStateAsClassicFlatButton)
{
    ButtonHost host(L"");
    COwnerDrawnButton button;
    ASSERT_TRUE(button.Attach(host.parent.get(), 1));
    EXPECT_EQ(BS_OWNERDRAW, GetWindowLongPtrW(host.button, GWL_STYLE) & BS_TYPEMASK);
    button.SetClassicOnly(true);
    button.SetIcons(LoadIconResource(IDI_QV_OK, 16));
    ASSERT_TRUE(button.hasIcon());
    const COLORREF face = GetSysColor(COLOR_BTNFACE);

    Canvas normal(90, 30);
    button.DrawItem(DrawRequest(host.button, normal.dc(), 0));
    EXPECT_EQ(face, normal.At(0, 0));
    EXPECT_EQ(face, normal.At(0, 15)) << "no outline when not hot";
    const RECT icon = normal.Bounds(face);
    EXPECT_NEAR(45, (icon.left + icon.right) / 2, 2) << "icon without text is centred";
    EXPECT_NEAR(15, (icon.top + icon.bottom) / 2, 2);

    Canvas pressed(90, 30);
    button.DrawItem(DrawRequest(host.button, pressed.dc(), ODS_SELECTED));
    EXPECT_TRUE(button.pressed());
    EXPECT_EQ(RGB(0, 0, 0), pressed.At(0, 15)) << "pressed is outlined";
    RECT inner = pressed.Bounds(face);
    Canvas pressedInner(90, 30);
    // Compare icon positions away from the outline.
    RECT shifted{icon.left + 1, icon.top + 1, icon.right + 1, icon.bottom + 1};
    EXPECT_EQ(normal.At(icon.left + 8, icon.top + 8), pressed.At(shifted.left + 8, shifted.top + 8));
    (void)inner;

    Canvas disabled(90, 30);
    button.DrawItem(DrawRequest(host.button, disabled.dc(), ODS_DISABLED));
    EXPECT_TRUE(button.disabled());
    const int green = normal.Count(0, 0, 90, 30, [](COLORREF c) { return GetGValue(c) > GetRValue(c) + 60; });
    const int greenDisabled = disabled.Count(0, 0, 90, 30, [](COLORREF c) { return GetGValue(c) > GetRValue(c) + 60; });
    EXPECT_GT(green, 10);
    EXPECT_EQ(0, greenDisabled) << "the disabled icon is greyed";
}

TEST(COwnerDrawnButton, TextSitsRightOfTheIconAndIsEmbossedWhenDisabled)
{
    ButtonHost host(L"Cancel");
    COwnerDrawnButton button;
    ASSERT_TRUE(button.Attach(host.parent.get(), 1));
    button.SetClassicOnly(true);
    button.SetIcons(LoadIconResource(IDI_QV_CANCEL, 16));
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    Canvas normal(90, 30);
    button.DrawItem(DrawRequest(host.button, normal.dc(), 0));
    EXPECT_GT(normal.Count(3, 0, 19, 30, [&](COLORREF c) { return c != face; }), 20) << "icon 3 px from the left";
    EXPECT_GT(normal.Count(22, 0, 90, 30, [](COLORREF c) { return c == GetSysColor(COLOR_BTNTEXT); }), 10);

    Canvas disabled(90, 30);
    button.DrawItem(DrawRequest(host.button, disabled.dc(), ODS_DISABLED));
    EXPECT_GT(disabled.Count(22, 0, 90, 30, [](COLORREF c) { return c == GetSysColor(COLOR_3DHILIGHT); }), 5);
    EXPECT_GT(disabled.Count(22, 0, 90, 30, [](COLORREF c) { return c == GetSysColor(COLOR_3DSHADOW); }), 5);
}

TEST(COwnerDrawnButton, LightsUpUnderTheMouseAndClipsWhenRounded)
{
    ButtonHost host(L"OK");
    COwnerDrawnButton button;
    ASSERT_TRUE(button.Attach(host.parent.get(), 1));
    button.SetClassicOnly(true);
    button.SetRounded(true);
    SetForegroundWindow(host.parent.get());
    SetActiveWindow(host.parent.get());

    RECT area;
    GetWindowRect(host.button, &area);
    SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    SendMessageW(host.button, WM_MOUSEMOVE, 0, MAKELPARAM(40, 15));
    EXPECT_TRUE(button.hot());
    EXPECT_EQ(host.button, GetCapture());

    Canvas hot(90, 30);
    button.DrawItem(DrawRequest(host.button, hot.dc(), 0));
    EXPECT_EQ(RGB(0, 0, 0), hot.At(0, 15)) << "hot is outlined";
    EXPECT_NE(RGB(0, 0, 0), hot.At(0, 0)) << "with rounded corners";
    EXPECT_TRUE(button.hasRegion());

    SetCursorPos(area.right + 50, area.bottom + 50);
    SendMessageW(host.button, WM_MOUSEMOVE, 0, MAKELPARAM(140, 65));
    EXPECT_FALSE(button.hot());
    EXPECT_NE(host.button, GetCapture());

    // Losing the capture without a mouse move (Alt+Tab, a menu) ends the hot state.
    SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    SendMessageW(host.button, WM_MOUSEMOVE, 0, MAKELPARAM(40, 15));
    ASSERT_TRUE(button.hot());
    ReleaseCapture();
    EXPECT_FALSE(button.hot());

    // The same handle given twice, or for both states, is owned once.
    const HICON icon = LoadIconResource(IDI_QV_OK, 16);
    button.SetIcons(icon, icon);
    button.SetIcons(icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info)) << "destroyed while the button still shows it";
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_TRUE(button.hasIcon());

    // An icon whose size cannot be read clears the icons.
    button.SetIcons(reinterpret_cast<HICON>(static_cast<INT_PTR>(0x1234)));
    EXPECT_FALSE(button.hasIcon());
}

// ---------------------------------------------------------------- group box

TEST(GroupBoxEx, PaintsFrameTitleBarAndTitle)
{
    GroupBoxEx box;
    ASSERT_TRUE(box.HasPieces());
    Canvas canvas(200, 120);
    box.PaintContent(canvas.dc(), SIZE{200, 120});
    EXPECT_EQ(RGB(255, 255, 255), canvas.At(100, 60)) << "white body";
    EXPECT_TRUE(Near(RGB(49, 69, 117), canvas.At(100, 0), 8)) << "top border";
    EXPECT_TRUE(Near(RGB(89, 113, 170), canvas.At(100, 11), 16)) << "title bar";
    EXPECT_TRUE(Near(RGB(235, 241, 254), canvas.At(0, 0), 8)) << "rounded corner";
    EXPECT_EQ(GroupBoxEx::kBorderColour, canvas.At(0, 60)) << "left border";
    EXPECT_EQ(GroupBoxEx::kBorderColour, canvas.At(199, 60)) << "right border";
    EXPECT_TRUE(Near(RGB(47, 67, 115), canvas.At(100, 119), 8)) << "bottom border";
}

// A frame repainted alone (a resize, a new title) leaves what it frames in
// place, although a template lists the frame first; its image is drawn anew
// for a new title.
TEST(GroupBoxEx, RepaintsBelowWhatItFramesAndShowsANewTitle)
{
    UniqueWindow host(CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
    HWND frame = CreateWindowExW(0, L"BUTTON", L"A", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 10, 10, 280, 180, host.get(),
                                 reinterpret_cast<HMENU>(1002), GetModuleHandleW(nullptr), nullptr);
    HWND framed = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 60, 80, 100, 50, host.get(),
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    GroupBoxEx box;
    ASSERT_TRUE(box.Attach(host.get(), 1002));
    const auto pixel = [&](int x, int y) {
        HDC dc = GetDC(host.get());
        const COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(host.get(), dc);
        return colour;
    };
    const auto lightInTitle = [&] {
        int n = 0;
        for (int y = 12; y < 31; ++y)
            for (int x = 26; x < 280; ++x)
                n += GetRValue(pixel(x, y)) > 200 && GetBValue(pixel(x, y)) > 200;
        return n;
    };
    RedrawWindow(host.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const COLORREF black = pixel(110, 105); // the system's frame colour
    ASSERT_NE(RGB(255, 255, 255), black);
    const int shortTitle = lightInTitle();
    for (int round = 0; round < 2; ++round) {
        RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_EQ(black, pixel(110, 105)) << "the framed control, round " << round;
        EXPECT_EQ(RGB(255, 255, 255), pixel(40, 105)) << "the frame's body";
        SetWindowTextW(frame, L"A much longer title");
        UpdateWindow(frame);
    }
    EXPECT_EQ(black, pixel(110, 105));
    EXPECT_GT(lightInTitle(), shortTitle + 100) << "the new title";
    EXPECT_TRUE(IsWindowVisible(framed));
}

// ---------------------------------------------------------------- menus

namespace {

struct MenuHost {
    UniqueMenu menu{CreatePopupMenu()};
    IconSet actions;
    COwnerDrawMenu drawer;
    MenuHost()
    {
        actions.Build(IDB_QV_ACTIONS, 10);
        AppendMenuW(menu.get(), MF_STRING, 1502, L"&Preferences");
        AppendMenuW(menu.get(), MF_STRING, 1503, L"&Enable\tCtrl+E");
        AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu.get(), MF_STRING | MF_GRAYED, 1501, L"E&xit");
        drawer.AddImage(menu.get(), 1502, 12); // no image list yet: ignored
        drawer.RegisterImageList(menu.get(), actions.get());
        drawer.AddImage(menu.get(), 1503, 9);
        drawer.AddImage(menu.get(), 1501, 11);
    }
    ULONG_PTR DataOf(int position)
    {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA | MIIM_FTYPE;
        GetMenuItemInfoW(menu.get(), static_cast<UINT>(position), TRUE, &info);
        return (info.fType & MFT_OWNERDRAW) ? info.dwItemData : 0;
    }
};

} // namespace

TEST(COwnerDrawMenu, MeasuresItemsAndSeparators)
{
    MenuHost host;
    EXPECT_EQ(-1, host.drawer.ImageOf(host.menu.get(), 1502));
    EXPECT_EQ(9, host.drawer.ImageOf(host.menu.get(), 1503));
    LRESULT result = 0;
    EXPECT_FALSE(host.drawer.HandleMenuMessage(nullptr, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(host.menu.get()), 0,
                                               &result));
    EXPECT_EQ(host.menu.get(), host.drawer.currentMenu());
    for (int i = 0; i < 4; ++i)
        EXPECT_NE(0u, host.DataOf(i)) << "item " << i << " is owner-drawn";

    MEASUREITEMSTRUCT separator{};
    separator.CtlType = ODT_MENU;
    separator.itemData = host.DataOf(2);
    ASSERT_TRUE(
        host.drawer.HandleMenuMessage(nullptr, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&separator), &result));
    EXPECT_EQ(32u, separator.itemWidth);
    EXPECT_EQ(8u, separator.itemHeight);

    MEASUREITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    item.itemID = 1502;
    item.itemData = host.DataOf(0);
    ASSERT_TRUE(host.drawer.HandleMenuMessage(nullptr, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&item), &result));
    EXPECT_EQ(20u, item.itemHeight);
    EXPECT_GT(item.itemWidth, 46u + 30u);

    host.drawer.HandleMenuMessage(nullptr, WM_UNINITMENUPOPUP, 0, 0, &result);
    EXPECT_EQ(nullptr, host.drawer.currentMenu());
}

TEST(COwnerDrawMenu, DrawsIconColumnTextTabAndSelection)
{
    MenuHost host;
    LRESULT result = 0;
    host.drawer.MakeOwnerDrawn(host.menu.get());
    Canvas canvas(200, 20);
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_MENU;
    draw.itemID = 1503;
    draw.itemData = host.DataOf(1);
    draw.hwndItem = reinterpret_cast<HWND>(host.menu.get());
    draw.hDC = canvas.dc();
    draw.rcItem = RECT{0, 0, 200, 20};
    ASSERT_TRUE(host.drawer.HandleMenuMessage(nullptr, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw), &result));
    EXPECT_TRUE(Near(RGB(238, 238, 238), canvas.At(0, 1), 12)) << "column gradient starts light";
    EXPECT_GT(GetBValue(canvas.At(23, 1)), 200) << "and ends blue";
    EXPECT_LT(GetRValue(canvas.At(23, 1)), 40);
    EXPECT_GT(canvas.Count(4, 2, 20, 18, [](COLORREF c) { return GetGValue(c) > GetRValue(c) + 60; }), 10)
        << "the enable image sits in the column";
    EXPECT_GT(canvas.Count(30, 0, 100, 20, Dark), 10) << "label on the left";
    EXPECT_GT(canvas.Count(130, 0, 184, 20, Dark), 10) << "text after the tab on the right";
    EXPECT_EQ(0, canvas.Count(184, 0, 200, 20, Dark)) << "16 pixels kept free at the right";

    draw.itemState = ODS_SELECTED;
    host.drawer.DrawItem(draw);
    EXPECT_EQ(RGB(0, 0, 0), canvas.At(100, 0)) << "selected item is framed";
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), canvas.At(2, 10)) << "selected column is highlighted";

    // A check item without a picture (a switch of the menu bar) shows its check.
    Canvas checked(200, 20);
    draw.itemID = 1502;
    draw.itemData = host.DataOf(0);
    draw.itemState = ODS_CHECKED;
    draw.hDC = checked.dc();
    host.drawer.DrawItem(draw);
    EXPECT_GT(checked.Count(4, 2, 20, 18,
                            [](COLORREF c) { return GetRValue(c) < 60 && GetGValue(c) < 60 && GetBValue(c) < 60; }),
              5)
        << "no check drawn";

    Canvas separator(200, 8);
    draw.itemData = host.DataOf(2);
    draw.itemState = 0;
    draw.hDC = separator.dc();
    draw.rcItem = RECT{0, 0, 200, 8};
    host.drawer.DrawItem(draw);
    EXPECT_EQ(GetSysColor(COLOR_MENU), separator.At(100, 1));
    EXPECT_NE(GetSysColor(COLOR_MENU), separator.At(100, 4)) << "etched line at half height";
    EXPECT_EQ(GetSysColor(COLOR_MENU), separator.At(26, 4)) << "line starts 6 pixels in";
}

namespace {

COwnerDrawMenu* g_menuDrawer = nullptr;
int g_measured = 0, g_drawn = 0;

LRESULT CALLBACK MenuOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (g_menuDrawer && g_menuDrawer->HandleMenuMessage(window, message, wParam, lParam, &result)) {
        g_measured += message == WM_MEASUREITEM;
        g_drawn += message == WM_DRAWITEM;
        return result;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

// Toggling an item's text and opening menu after menu keep one record per
// item; a destroyed menu's handle given to a new menu starts with nothing.
TEST(COwnerDrawMenu, RecordsDoNotPileUpOrOutliveTheirMenu)
{
    MenuHost host;
    LRESULT result = 0;
    const auto open = [&](HMENU menu) {
        host.drawer.HandleMenuMessage(nullptr, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0, &result);
        host.drawer.HandleMenuMessage(nullptr, WM_EXITMENULOOP, 0, 0, &result);
    };
    for (int i = 0; i < 50; ++i) {
        ModifyMenuW(host.menu.get(), 1503, MF_BYCOMMAND | MF_STRING, 1503, i % 2 ? L"&Enable" : L"&Disable");
        host.drawer.AddImage(host.menu.get(), 1503, i % 2 ? 9 : 10);
        open(host.menu.get());
    }
    EXPECT_EQ(host.drawer.ItemRecordCount(), 4u);
    EXPECT_EQ(host.drawer.ImageOf(host.menu.get(), 1503), 9) << "the last one given";

    for (int i = 0; i < 50; ++i) {
        UniqueMenu popup(CreatePopupMenu());
        AppendMenuW(popup.get(), MF_STRING, 1502, L"&Preferences");
        host.drawer.RegisterImageList(popup.get(), host.actions.get());
        host.drawer.AddImage(popup.get(), 1502, 12);
        open(popup.get());
        host.drawer.ForgetMenu(popup.get());
    }
    EXPECT_EQ(host.drawer.KnownMenuCount(), 1u);
    EXPECT_EQ(host.drawer.ItemRecordCount(), 4u);

    // Destroyed without a word: forgotten when the next menu opens.
    HMENU gone = CreatePopupMenu();
    AppendMenuW(gone, MF_STRING, 1504, L"&Disable");
    host.drawer.RegisterImageList(gone, host.actions.get());
    host.drawer.AddImage(gone, 1504, 10);
    open(gone);
    DestroyMenu(gone);
    open(host.menu.get());
    EXPECT_EQ(host.drawer.KnownMenuCount(), 1u);
    EXPECT_EQ(host.drawer.ImageOf(gone, 1504), -1);
    // A handle registered anew belongs to a new menu: no image from before.
    host.drawer.AddImage(host.menu.get(), 1502, 12);
    host.drawer.RegisterImageList(host.menu.get(), host.actions.get());
    EXPECT_EQ(host.drawer.ImageOf(host.menu.get(), 1502), -1);
}

TEST(COwnerDrawMenu, RealPopupMenuAsksToMeasureAndDrawEachItem)
{
    MenuHost host;
    g_menuDrawer = &host.drawer;
    g_measured = g_drawn = 0;
    WNDCLASSW wc{};
    wc.lpfnWndProc = MenuOwnerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QvMenuOwner";
    RegisterClassW(&wc);
    UniqueWindow owner(CreateWindowExW(0, L"QvMenuOwner", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr));
    SetForegroundWindow(owner.get());
    const UINT_PTR timer = SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
    TrackPopupMenu(host.menu.get(), TPM_LEFTBUTTON, 100, 100, 0, owner.get(), nullptr);
    KillTimer(nullptr, timer);
    g_menuDrawer = nullptr;
    EXPECT_GE(g_measured, 4);
    EXPECT_GE(g_drawn, 4);
    EXPECT_EQ(nullptr, host.drawer.currentMenu()) << "forgotten when the loop ends";
}

// ---------------------------------------------------------------- icon picker

TEST(DlgSelectIcon, ListsTheSetAndReturnsTheClickedIndex)
{
    DlgSelectIcon picker;
    int items = 0;
    std::wstring caption, label0, label78;
    int image40 = -1;
    const INT_PTR result = RunWith(picker, [&](HWND dialog) {
        caption = TextOf(dialog);
        HWND list = GetDlgItem(dialog, IDC_QV_ICON_LIST);
        items = ListView_GetItemCount(list);
        wchar_t text[16];
        ListView_GetItemText(list, 0, 0, text, 16);
        label0 = text;
        ListView_GetItemText(list, 78, 0, text, 16);
        label78 = text;
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = 40;
        ListView_GetItem(list, &item);
        image40 = item.iImage;
        EXPECT_EQ(-1, ListView_GetNextItem(list, -1, LVNI_SELECTED)) << "nothing selected at first";
        // A real click on picture 12.
        RECT box{};
        box.left = LVIR_ICON;
        SendMessageW(list, LVM_GETITEMRECT, 12, reinterpret_cast<LPARAM>(&box));
        const LPARAM at = MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2);
        SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(list, WM_LBUTTONUP, 0, at);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(L"Select an icon...", caption);
    EXPECT_EQ(79, items);
    EXPECT_EQ(L"0", label0);
    EXPECT_EQ(L"78", label78);
    EXPECT_EQ(40, image40);
    EXPECT_EQ(12, picker.pickedIndex());
}

TEST(DlgSelectIcon, OkWithoutSelectionGivesMinusOneAndCancelGivesTwo)
{
    DlgSelectIcon picker;
    EXPECT_EQ(IDOK, RunWith(picker, [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDOK, 0); }));
    EXPECT_EQ(-1, picker.pickedIndex());

    DlgSelectIcon cancelled;
    EXPECT_EQ(IDCANCEL, RunWith(cancelled, [](HWND dialog) {
                  ListView_SetItemState(GetDlgItem(dialog, IDC_QV_ICON_LIST), 5, LVIS_SELECTED, LVIS_SELECTED);
                  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
              }));
    EXPECT_EQ(-1, cancelled.pickedIndex()) << "a cancelled picker gives no picture";
}

// ---------------------------------------------------------------- about box

TEST(DlgAbout, OpensFromItsTemplateAndClosesWithOk)
{
    DlgAbout about(0);
    std::wstring label, link, caption;
    const INT_PTR result = RunWith(about, [&](HWND dialog) {
        caption = TextOf(dialog);
        label = TextOf(GetDlgItem(dialog, IDC_QV_ABOUT_TEXT));
        link = TextOf(GetDlgItem(dialog, IDC_QV_ABOUT_LINK));
        EXPECT_EQ(BS_OWNERDRAW, GetWindowLongPtrW(GetDlgItem(dialog, IDOK), GWL_STYLE) & BS_TYPEMASK);
        // OK has the focus, not the link before it, so Enter closes the box.
        EXPECT_EQ(GetDlgItem(dialog, IDOK), GetFocus());
        // Colour requests answer with the dialog's own brush, straight from the procedure.
        HDC dc = GetDC(dialog);
        const auto brush =
            reinterpret_cast<HBRUSH>(SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                  reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_QV_ABOUT_TEXT))));
        LOGBRUSH info{};
        EXPECT_TRUE(brush && GetObjectW(brush, sizeof(info), &info));
        EXPECT_EQ(RGB(238, 238, 239), info.lbColor);
        SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_QV_ABOUT_LINK)));
        EXPECT_EQ(about.link().TextColour(), GetTextColor(dc)) << "the link in its link colour";
        ReleaseDC(dialog, dc);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(L"About", caption);
    EXPECT_EQ(0u, label.find(L"Quorvallis 1.0"));
    EXPECT_FALSE(link.empty());
    EXPECT_EQ(L"About", about.banner().title());
    EXPECT_EQ(L"About Quorvallis.", about.banner().subtitle());
    EXPECT_TRUE(about.okButton().rounded());
}

TEST(HyperLink, ReadsLinkColoursOnlyFromThreeNumbers)
{
    const struct {
        const wchar_t* text;
        bool ok;
        COLORREF colour;
    } cases[] = {
        {L"0,0,255", true, RGB(0, 0, 255)},
        {L"12, 34 ,56", true, RGB(12, 34, 56)},
        {L"255,255,255", true, RGB(255, 255, 255)},
        {L"1,2", false, 0},
        {L"a,b,c", false, 0},
        {L"256,0,0", false, 0},
        {L"", false, 0},
        {L"1,2,3,4", false, 0},
        {L"-1,2,3", false, 0},
        {L"1,,3", false, 0},
    };
    for (const auto& c : cases) {
        COLORREF colour = RGB(9, 9, 9);
        EXPECT_EQ(c.ok, HyperLink::ParseColour(c.text, &colour)) << std::string(c.text, c.text + wcslen(c.text));
        EXPECT_EQ(c.ok ? c.colour : RGB(9, 9, 9), colour);
    }
}

// ---------------------------------------------------------------- leaks

TEST(Leaks, OpeningAndClosingTheDialogsGivesEveryObjectBack)
{
    auto cycle = [] {
        DlgAbout about(0);
        RunWith(about, [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDOK, 0); });
        DlgSelectIcon picker;
        RunWith(picker, [](HWND dialog) {
            ListView_SetItemState(GetDlgItem(dialog, IDC_QV_ICON_LIST), 3, LVIS_SELECTED, LVIS_SELECTED);
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        GroupBoxEx box;
        COwnerDrawMenu menu;
    };
    for (int i = 0; i < 5; ++i)
        cycle(); // first runs fill caches (classes, fonts, theme data)
    const auto before = GuiObjectCounter::Take();
    for (int i = 0; i < 200; ++i)
        cycle();
    const auto after = GuiObjectCounter::Take();
    EXPECT_EQ(before.gdi, after.gdi) << (GuiObjectCounter::UsesGetGuiResources() ? "GetGuiResources" : "free room");
    EXPECT_EQ(before.user, after.user);
}

int main(int argc, char** argv)
{
    int exitCode = 0;
    if (RunUnmanagedUnderWine(&exitCode))
        return exitCode;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// ---------------------------------------------------------------- guards

namespace {

constexpr UINT kThrow = WM_APP + 1, kAnswer = WM_APP + 2;

class ThrowingDialog : public DialogBase {
public:
    ThrowingDialog() : DialogBase(IDD_QV_ABOUT) {}

protected:
    bool HandleMessage(UINT message, WPARAM, LPARAM) override
    {
        if (message == kThrow)
            throw std::runtime_error("handler failed");
        if (message != kAnswer)
            return false;
        SetResult(42);
        return true;
    }
};

class ThrowingPaint : public SelfPaintedControl {
public:
    void PaintContent(HDC, SIZE) const override { throw std::runtime_error("paint failed"); }
};

} // namespace

TEST(GuardedCall, AThrowingHandlerStopsAtItsProcedureAndTheWindowsGoOn)
{
    const int caughtBefore = EscapedExceptionCount();
    ThrowingDialog dialog;
    HWND window = dialog.CreateModeless(nullptr);
    ASSERT_TRUE(window);
    ShowWindow(window, SW_SHOWNOACTIVATE); // hidden windows are not painted
    ThrowingPaint text;
    ASSERT_TRUE(text.Attach(window, IDC_QV_ABOUT_TEXT));
    for (int round = 0; round < 2; ++round) {
        EXPECT_NO_THROW(SendMessageW(window, kThrow, 0, 0));
        EXPECT_NO_THROW(RedrawWindow(text.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW));
        EXPECT_FALSE(GetUpdateRect(text.hwnd(), nullptr, FALSE)) << "the paint was left to the control";
    }
    EXPECT_EQ(4, EscapedExceptionCount() - caughtBefore);
    EXPECT_EQ(42, SendMessageW(window, kAnswer, 0, 0)) << "the dialog answers after its handler threw";
    EXPECT_TRUE(IsWindow(text.hwnd()));
}
