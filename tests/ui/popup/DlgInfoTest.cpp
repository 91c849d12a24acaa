// The typing popup against the real system under Wine: placement, echo,
// and a hide that never keeps the caller waiting for its animation.
#include "ui/popup/DlgInfo.h"
#include "MainWindowIds.h"

#include <gtest/gtest.h>
#include <gdiplus.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

class Popup : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    }
    static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(token_); }

    static void PumpFor(int ms)
    {
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < end) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            Sleep(5);
        }
    }

    std::wstring ShownText() const
    {
        wchar_t text[256] = {};
        GetDlgItemTextW(popup.hwnd(), IDC_INFO_TEXT, text, 256);
        return text;
    }

    static ULONG_PTR token_;
    DlgInfo popup;
};

ULONG_PTR Popup::token_ = 0;

TEST_F(Popup, ShowsInTheBottomRightCornerOfTheWorkAreaWithoutTakingTheFocus)
{
    HWND before = GetForegroundWindow();
    popup.Show();
    ASSERT_TRUE(popup.Exists());
    EXPECT_TRUE(IsWindowVisible(popup.hwnd()));
    EXPECT_EQ(GetForegroundWindow(), before);
    EXPECT_NE(GetWindowLongPtrW(popup.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

    RECT work{}, window{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(popup.hwnd(), &window);
    EXPECT_EQ(window.right, work.right - 10);
    EXPECT_EQ(window.bottom, work.bottom - 10);
    EXPECT_GT(window.right - window.left, 100);
}

TEST_F(Popup, EchoesTypedKeysAndBackspace)
{
    popup.Show();
    for (unsigned vk : {0x47u, 0x4Fu, 0x20u, 0x31u, 0x70u /* F1: no character */, 8u, 0x32u})
        popup.TypeKey(vk);
    EXPECT_EQ(popup.Text(), L"go 2");
    EXPECT_EQ(ShownText(), L"go 2");
    EXPECT_EQ(SendMessageW(popup.hwnd(), WM_INFOCHAR, 'X', 0), 1);
    EXPECT_EQ(popup.Text(), L"go 2x");
}

TEST_F(Popup, HideReturnsAtOnceAndTheWindowGoesAfterItsAnimation)
{
    popup.Show();
    popup.TypeKey('A');
    HWND window = popup.hwnd();
    const auto start = Clock::now();
    popup.Hide();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_FALSE(popup.Exists());
    EXPECT_TRUE(IsWindow(window)) << "the collapse runs after the caller got its answer";
    PumpFor(DlgInfo::kHideMs + 400);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(popup.Text(), L"a") << "the text stays until the next show";
}

TEST_F(Popup, ShowingWhileTheLastLineCollapsesStartsAFreshEmptyPopup)
{
    popup.Show();
    popup.TypeKey('A');
    popup.Hide();
    PumpFor(100);
    popup.Show();
    ASSERT_TRUE(popup.Exists());
    EXPECT_EQ(popup.Text(), L"");
    EXPECT_EQ(ShownText(), L"");
    PumpFor(DlgInfo::kHideMs + 200);
    EXPECT_TRUE(popup.Exists()) << "the old collapse must not take the new window";
    EXPECT_TRUE(IsWindowVisible(popup.hwnd()));
}

TEST_F(Popup, PaintsTheGradientAndTheOutline)
{
    popup.Show();
    PumpFor(200);
    HDC screen = GetDC(popup.hwnd());
    HDC memory = CreateCompatibleDC(screen);
    RECT client{};
    GetClientRect(popup.hwnd(), &client);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SendMessageW(popup.hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
    // Inside the outline near the middle of the left edge the gradient starts
    // blue; the outline itself is strongly blue.
    const COLORREF edge = GetPixel(memory, 0, client.bottom / 2);
    const COLORREF right = GetPixel(memory, client.right - 4, client.bottom / 2);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(popup.hwnd(), screen);
    EXPECT_GT(GetBValue(edge), 200);
    EXPECT_LT(GetRValue(edge), 100);
    EXPECT_GT(GetRValue(right), 180) << "the right end of the gradient is light grey";
}

} // namespace
