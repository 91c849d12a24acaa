// The hook library against the real system under Wine: what reaches the
// target window, what is swallowed, and that a launcher that does not answer
// never holds up the keyboard.
#include "QuorvallisHOOK.h"
#include "QuorvallisHOOKShared.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
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
    std::vector<std::pair<WPARAM, LPARAM>> received; // flags without the sequence and Caps Lock
    std::vector<std::uint32_t> sequences;

    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<Target*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == WM_KEYHOOK && self) {
            const std::uint32_t caps = kKeyHookCapsLockKnown | kKeyHookCapsLockOn;
            self->received.emplace_back(wParam, static_cast<LPARAM>(static_cast<std::uint32_t>(lParam) & ~caps));
            self->sequences.push_back(KeyHookSequence(lParam));
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
    void SetUp() override
    {
        installed = InstallHook(target.hwnd);
        ASSERT_NE(installed, nullptr);
    }
    void TearDown() override { UninstallHook(); }

    Target target;
    HHOOK installed = nullptr;
};

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L'\\') + 1);
    return folder;
}

// Starts QvHookPeer with the arguments; null when it could not start.
HANDLE StartPeer(const std::wstring& arguments)
{
    const std::wstring folder = ProgramFolder();
    std::wstring command = L"\"" + folder + L"QvHookPeer.exe\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

struct AnswerCase {
    WPARAM vk;
    LRESULT answer;
    bool swallowed;
};

TEST_F(KeyboardHook, TheWindowsAnswerDecidesExceptForShiftAndCapsLock)
{
    const AnswerCase cases[] = {
        {'A', 0, true}, {'A', 1, false}, {'A', 2, false}, {13, 0, true},  {17, 0, true},
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

// Only a key taken from the queue reaches the window, with its flags as they
// came and a fresh sequence number. An application that peeks before it
// takes shows every key first with HC_NOREMOVE: that copy passes untouched,
// or one Ctrl would count as two.
TEST_F(KeyboardHook, OnlyKeysTakenFromTheQueueReachTheWindow)
{
    target.answer = 0;
    EXPECT_NE(KeyboardProc(HC_NOREMOVE, 'C', 0x40300001), 1);
    EXPECT_TRUE(target.received.empty()) << "a peeked key reached the window";
    EXPECT_EQ(KeyboardProc(HC_ACTION, 'B', static_cast<LPARAM>(0xC0300001u)), 1);
    EXPECT_EQ(KeyboardProc(HC_ACTION, 'B', kPress), 1);
    ASSERT_EQ(target.received.size(), 2u);
    EXPECT_EQ(static_cast<DWORD>(target.received[0].second), 0xC0300001u);
    EXPECT_NE(target.sequences[0], 0u);
    EXPECT_NE(target.sequences[1], target.sequences[0]);
}

// A second launcher started from the same folder overwrites the shared hook
// handle; each still removes the hook it installed itself.
TEST_F(KeyboardHook, EachProcessRemovesTheHookItInstalled)
{
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, L"QvHookPeerReady");
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, L"QvHookPeerGo");
    HANDLE peer = StartPeer(L"install");
    ASSERT_NE(peer, nullptr);
    EXPECT_EQ(WaitForSingleObject(ready, 20000), WAIT_OBJECT_0);

    EXPECT_NE(UninstallHook(), FALSE);
    EXPECT_FALSE(UnhookWindowsHookEx(installed)) << "this process's hook was left installed";
    SetEvent(go);
    EXPECT_EQ(WaitForSingleObject(peer, 20000), WAIT_OBJECT_0);
    DWORD exitCode = 99;
    GetExitCodeProcess(peer, &exitCode);
    EXPECT_EQ(exitCode, 0u) << "the other launcher's hook was not its own to remove";
    CloseHandle(peer);
    CloseHandle(go);
    CloseHandle(ready);
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
    for (LRESULT answer : {0, 1}) {
        target.answer = answer;
        target.received.clear();
        HANDLE peer = StartPeer(L"65 0x1E0001");
        ASSERT_NE(peer, nullptr);
        // The peer's message arrives while this thread waits and pumps.
        while (MsgWaitForMultipleObjects(1, &peer, FALSE, 20000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
        }
        DWORD exitCode = 99;
        GetExitCodeProcess(peer, &exitCode);
        CloseHandle(peer);
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

namespace {

// A launcher window on a thread of its own that stalls before it takes a key
// (busy with something else) or after (slow to decide), then swallows it.
struct StallingLauncher {
    DWORD stallBeforeMs = 0;
    DWORD stallAfterMs = 0;
    std::atomic<int> taken{-1}; // -1 not handled yet, 0 left alone, 1 acted on
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> done{false};
    std::thread thread;

    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<StallingLauncher*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message != WM_KEYHOOK || !self)
            return DefWindowProcW(hwnd, message, wParam, lParam);
        QuorvallisHookShared* shared = FindHookShared(GetModuleHandleW(L"QuorvallisHOOK.dll"));
        Sleep(self->stallBeforeMs);
        const std::uint32_t sequence = KeyHookSequence(lParam);
        if (!TakeHookKey(shared, sequence)) {
            self->taken = 0;
            return 1;
        }
        Sleep(self->stallAfterMs);
        AnswerHookKey(shared, sequence, false);
        self->taken = 1;
        return 0;
    }

    StallingLauncher(DWORD before, DWORD after) : stallBeforeMs(before), stallAfterMs(after)
    {
        thread = std::thread([this] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = &StallingLauncher::Proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"QvStallingLauncher";
            RegisterClassW(&wc);
            HWND hwnd =
                CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            window = hwnd;
            MSG msg;
            while (!done) {
                while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                    DispatchMessageW(&msg);
                Sleep(5);
            }
            DestroyWindow(hwnd);
        });
        while (!window)
            Sleep(5);
    }
    ~StallingLauncher()
    {
        done = true;
        thread.join();
    }
    bool WaitUntilHandled()
    {
        for (int i = 0; i < 400 && taken == -1; ++i)
            Sleep(10);
        return taken != -1;
    }
};

} // namespace

// A key the hook stopped waiting for has gone to the application: when the
// stalled launcher gets to it, it must leave it alone. A key the launcher took
// in time gets the launcher's answer, even when deciding took a little longer.
TEST(KeyboardHookBusyLauncher, TheLauncherNeverActsOnAKeyThatWentToTheApplication)
{
    ASSERT_NE(FindHookShared(GetModuleHandleW(L"QuorvallisHOOK.dll")), nullptr) << "no shared section found";
    {
        StallingLauncher stalled(3 * kKeyHookAnswerTimeoutMs, 0);
        ASSERT_NE(InstallHook(stalled.window), nullptr);
        EXPECT_NE(KeyboardProc(HC_ACTION, 'A', kPress), 1) << "the key did not pass";
        ASSERT_TRUE(stalled.WaitUntilHandled());
        EXPECT_EQ(stalled.taken, 0) << "the launcher acted on a key the application got";
        UninstallHook();
    }
    {
        StallingLauncher slow(0, kKeyHookAnswerTimeoutMs + kKeyHookAnswerTimeoutMs / 2);
        ASSERT_NE(InstallHook(slow.window), nullptr);
        EXPECT_EQ(KeyboardProc(HC_ACTION, 'A', kPress), 1) << "the launcher swallowed it, yet it passed";
        ASSERT_TRUE(slow.WaitUntilHandled());
        EXPECT_EQ(slow.taken, 1);
        UninstallHook();
    }
}
