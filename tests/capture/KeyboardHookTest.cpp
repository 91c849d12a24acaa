// The hook library against the real system under Wine: what reaches the
// target window, what is swallowed, and that a launcher that does not answer
// never holds up the keyboard.
#include "QuorvallisHOOK.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr LPARAM kPress = 0x001E0001;

// A window that answers WM_KEYHOOK with a chosen value and records what it got.
struct Target {
    HWND hwnd = nullptr;
    LRESULT answer = 0;
    DWORD sleepMs = 0;
    std::vector<std::pair<WPARAM, LPARAM>> received;

    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<Target*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == WM_KEYHOOK && self) {
            self->received.emplace_back(wParam, lParam);
            if (self->sleepMs)
                Sleep(self->sleepMs);
            return self->answer;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    Target()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Target::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QvHookTarget";
        RegisterClassW(&wc);
        hwnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Target()
    {
        if (hwnd)
            DestroyWindow(hwnd);
    }
};

class KeyboardHook : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(InstallHook(target.hwnd), nullptr); }
    void TearDown() override { UninstallHook(); }

    Target target;
};

struct AnswerCase {
    WPARAM vk;
    LRESULT answer;
    bool swallowed;
};

TEST_F(KeyboardHook, TheWindowsAnswerDecidesExceptForShiftAndCapsLock)
{
    const AnswerCase cases[] = {
        {'A', 0, true}, {'A', 1, false}, {'A', 2, false}, {13, 0, true}, {17, 0, true},
        {16, 0, false}, {20, 0, false},  {16, 1, false},  {20, 1, false},
    };
    for (const auto& c : cases) {
        target.answer = c.answer;
        target.received.clear();
        const LRESULT result = KeyboardProc(HC_ACTION, c.vk, kPress);
        EXPECT_EQ(result == 1, c.swallowed) << "vk " << c.vk << " answer " << c.answer;
        ASSERT_EQ(target.received.size(), 1u);
        EXPECT_EQ(target.received[0].first, c.vk);
        EXPECT_EQ(target.received[0].second, kPress);
    }
}

TEST_F(KeyboardHook, FlagsReachTheWindowUnchangedForEveryNonNegativeCode)
{
    target.answer = 1;
    KeyboardProc(HC_ACTION, 'B', static_cast<LPARAM>(0xC0300001u));
    KeyboardProc(HC_NOREMOVE, 'C', 0x40300001);
    ASSERT_EQ(target.received.size(), 2u);
    EXPECT_EQ(static_cast<DWORD>(target.received[0].second), 0xC0300001u);
    EXPECT_EQ(target.received[1].first, static_cast<WPARAM>('C'));
}

TEST_F(KeyboardHook, ANegativeCodeIsPassedOnWithoutAMessage)
{
    target.answer = 0;
    EXPECT_NE(KeyboardProc(-1, 'A', kPress), 1);
    EXPECT_TRUE(target.received.empty());
}

TEST_F(KeyboardHook, WithoutATargetWindowEveryKeyPasses)
{
    target.answer = 0;
    DestroyWindow(target.hwnd);
    target.hwnd = nullptr;
    EXPECT_NE(KeyboardProc(HC_ACTION, 'A', kPress), 1);
    UninstallHook();
    ASSERT_NE(InstallHook(nullptr), nullptr);
    EXPECT_NE(KeyboardProc(HC_ACTION, 'A', kPress), 1);
}

TEST_F(KeyboardHook, UninstallReportsTheRemoval)
{
    EXPECT_NE(UninstallHook(), FALSE);
    ASSERT_NE(InstallHook(target.hwnd), nullptr);
}

// Another process maps its own copy of the library and still finds the
// launcher's window: the target lives in the shared section.
TEST_F(KeyboardHook, AnotherProcessSeesTheTargetThroughTheSharedSection)
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L'\\') + 1);

    for (LRESULT answer : {0, 1}) {
        target.answer = answer;
        target.received.clear();
        std::wstring command = L"\"" + folder + L"QvHookPeer.exe\" 65 0x1E0001";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                                   &startup, &process));
        // The peer's message arrives while this thread waits and pumps.
        while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 20000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
        }
        DWORD exitCode = 99;
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        EXPECT_EQ(exitCode, answer == 0 ? 1u : 0u);
        ASSERT_EQ(target.received.size(), 1u);
        EXPECT_EQ(target.received[0].first, static_cast<WPARAM>('A'));
    }
}

// A launcher stuck in its key handling must not freeze the desktop: the key
// passes once the bounded wait is over, long before the launcher answers.
TEST(KeyboardHookBusyLauncher, AKeyPassesWhenTheLauncherDoesNotAnswerInTime)
{
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> done{false};
    std::thread launcher([&] {
        Target busy;
        busy.answer = 0;
        busy.sleepMs = 3000;
        window = busy.hwnd;
        MSG msg;
        while (!done) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            Sleep(5);
        }
    });
    while (!window)
        Sleep(5);
    ASSERT_NE(InstallHook(window), nullptr);
    const auto start = std::chrono::steady_clock::now();
    const LRESULT result = KeyboardProc(HC_ACTION, 'A', kPress);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_NE(result, 1);
    EXPECT_LT(waited, std::chrono::milliseconds(2000));
    UninstallHook();
    done = true;
    launcher.join();
}

} // namespace
