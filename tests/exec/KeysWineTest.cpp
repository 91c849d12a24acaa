// Plays keystroke texts through the real platform into QvProbe windows and
// reads back the keyboard messages they logged. Needs a display (DISPLAY).
#include "exec/KeystrokePlayer.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32KeyboardOutput.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::wstring ProbePath()
{
    // The probe is built beside this test: tests/exec and tests/probe.
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir = path;
    dir.resize(dir.find_last_of(L'\\'));
    dir.resize(dir.find_last_of(L'\\'));
    return dir + L"\\probe\\QvProbe.exe";
}

// One probe process: its window and its log of keyboard messages.
class Probe {
public:
    explicit Probe(const std::wstring& title) : title_(title)
    {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        logPath_ = std::wstring(temp) + L"qvkeys-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                   std::to_wstring(counter_++) + L".log";
        std::wstring commandLine =
            L"\"" + ProbePath() + L"\" --title \"" + title + L"\" --log \"" + logPath_ + L"\" --exit-after-ms 120000";
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return;
        process_.reset(pi.hProcess);
        CloseHandle(pi.hThread);
        for (int i = 0; i < 200 && !window_; ++i) {
            window_ = FindWindowW(L"QvProbeWindow", title.c_str());
            if (!window_)
                Sleep(50);
        }
    }
    ~Probe()
    {
        if (window_)
            PostMessageW(window_, WM_CLOSE, 0, 0);
        if (process_ && WaitForSingleObject(process_.get(), 5000) != WAIT_OBJECT_0)
            TerminateProcess(process_.get(), 1);
        process_.reset();
        DeleteFileW(logPath_.c_str());
    }

    HWND Window() const { return window_; }

    void BringForward()
    {
        SetForegroundWindow(window_);
        for (int i = 0; i < 40 && GetForegroundWindow() != window_; ++i)
            Sleep(50);
    }

    // The keyboard lines logged so far, the command line left out.
    std::vector<std::string> KeyLines() const
    {
        std::ifstream in(logPath_.c_str());
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(in, line))
            if (line.rfind("cmdline ", 0) != 0)
                lines.push_back(line);
        return lines;
    }

    // Waits until the log holds at least `count` new lines and then stays
    // still for a moment; returns the lines logged after `from`.
    std::string NewLines(size_t from, size_t count) const
    {
        std::vector<std::string> lines;
        size_t stable = 0, last = 0;
        for (int i = 0; i < 100; ++i) {
            lines = KeyLines();
            stable = lines.size() == last ? stable + 1 : 0;
            last = lines.size();
            if (lines.size() >= from + count && stable >= 4)
                break;
            Sleep(50);
        }
        std::string text;
        for (size_t i = from; i < lines.size(); ++i)
            text += (text.empty() ? "" : "|") + lines[i];
        return text;
    }

private:
    static int counter_;
    std::wstring title_;
    std::wstring logPath_;
    UniqueKernelHandle process_;
    HWND window_ = nullptr;
};

int Probe::counter_ = 0;

bool HaveDisplay()
{
    wchar_t value[256] = {};
    return GetEnvironmentVariableW(L"DISPLAY", value, 256) > 0;
}

size_t CountOf(const std::string& lines)
{
    return lines.empty() ? 0 : 1 + std::count(lines.begin(), lines.end(), '|');
}

class KeysOnWine : public testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveDisplay())
            GTEST_SKIP() << "no DISPLAY";
    }
    Win32KeyboardOutput output_;
    KeystrokePlayer player_{output_};
};

TEST_F(KeysOnWine, TextsArriveAsTheirKeys)
{
    struct Case {
        const wchar_t* text;
        const char* lines;
    };
    // Pressed keys go up with the extended flag (ext=1) whatever the key;
    // released modifiers without it.
    const Case cases[] = {
        {L"abc", "down vk=65 ext=0|char 97|up vk=65 ext=1|down vk=66 ext=0|char 98|up vk=66 ext=1|"
                 "down vk=67 ext=0|char 99|up vk=67 ext=1"},
        {L"A", "down vk=16 ext=0|down vk=65 ext=0|char 65|up vk=65 ext=1|up vk=16 ext=0"},
        {L"+ab", "down vk=16 ext=0|down vk=65 ext=0|char 65|up vk=65 ext=1|up vk=16 ext=0|"
                 "down vk=66 ext=0|char 98|up vk=66 ext=1"},
        {L"+(ab)", "down vk=16 ext=0|down vk=65 ext=0|char 65|up vk=65 ext=1|"
                   "down vk=66 ext=0|char 66|up vk=66 ext=1|up vk=16 ext=0"},
        {L"^a", "down vk=17 ext=0|down vk=65 ext=0|char 1|up vk=65 ext=1|up vk=17 ext=0"},
        {L"%x", "sysdown vk=18 ext=0|sysdown vk=88 ext=0|sysup vk=88 ext=1|up vk=18 ext=0"},
        {L"@r", "down vk=91 ext=0|down vk=82 ext=0|char 114|up vk=82 ext=1|up vk=91 ext=0"},
        {L"~", "down vk=13 ext=0|char 13|up vk=13 ext=1"},
        {L"{ENTER}", "down vk=13 ext=0|char 13|up vk=13 ext=1"},
        {L"{LEFT 3}", "down vk=37 ext=1|up vk=37 ext=1|down vk=37 ext=1|up vk=37 ext=1|"
                      "down vk=37 ext=1|up vk=37 ext=1"},
        {L"{DEL}{HOME}", "down vk=46 ext=1|up vk=46 ext=1|down vk=36 ext=1|up vk=36 ext=1"},
        {L"{VKEY 321}", "down vk=16 ext=0|down vk=65 ext=0|char 65|up vk=65 ext=1|up vk=16 ext=0"},
        {L"{PLUS}", "down vk=16 ext=0|down vk=187 ext=0|char 43|up vk=187 ext=1|up vk=16 ext=0"},
        {L"{F1 2}", "down vk=112 ext=0|up vk=112 ext=1|down vk=112 ext=0|up vk=112 ext=1"},
        // Num Lock twice, so the keyboard ends as it was.
        {L"{NUMLOCK 2}", "down vk=144 ext=1|up vk=144 ext=1|down vk=144 ext=1|up vk=144 ext=1"},
        {L"{BEEP 440 50}b", "down vk=66 ext=0|char 98|up vk=66 ext=1"},
    };
    Probe probe(L"Probe Keys");
    ASSERT_TRUE(probe.Window());
    probe.BringForward();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.text, c.text + wcslen(c.text)));
        const size_t before = probe.KeyLines().size();
        EXPECT_TRUE(player_.Play(c.text));
        EXPECT_EQ(probe.NewLines(before, CountOf(c.lines)), c.lines);
    }
}

TEST_F(KeysOnWine, BrokenTextTypesNothing)
{
    Probe probe(L"Probe Broken");
    ASSERT_TRUE(probe.Window());
    probe.BringForward();
    EXPECT_FALSE(player_.Play(L"+abc{ENTER" + std::wstring(300, L' ')));
    EXPECT_FALSE(player_.Play(L"abc{" + std::wstring(300, L' ') + L"}"));
    EXPECT_TRUE(player_.Play(L"z"));
    EXPECT_EQ(probe.NewLines(0, 3), "down vk=90 ext=0|char 122|up vk=90 ext=1");
}

bool WaitForForeground(HWND window)
{
    for (int i = 0; i < 50 && GetForegroundWindow() != window; ++i)
        Sleep(30);
    return GetForegroundWindow() == window;
}

// Activates a probe by (part of) its title, then types one letter; true when
// the probe came forward and the letter reached it. Without a window manager
// Wine sometimes loses an activation of another process's window while X
// focus events are still settling; a user would press the hot key again, and
// so does the test, a few times at most.
bool ActivateAndType(KeystrokePlayer& player, const std::wstring& activation, Probe& probe, wchar_t letter,
                     const std::string& expectedLines)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        const size_t before = probe.KeyLines().size();
        if (!player.Play(activation))
            return false;
        if (!WaitForForeground(probe.Window()))
            continue;
        player.Play(std::wstring(1, letter));
        if (probe.NewLines(before, CountOf(expectedLines)) == expectedLines)
            return true;
    }
    return false;
}

TEST_F(KeysOnWine, AppActivateBringsTheProbeForward)
{
    Probe first(L"Probe One Alpha");
    Probe second(L"Probe Two Beta");
    ASSERT_TRUE(first.Window());
    ASSERT_TRUE(second.Window());
    second.BringForward();

    // The exact title first, then a part of a title. Activation reaches the
    // other process asynchronously, so wait for it before typing.
    EXPECT_TRUE(ActivateAndType(player_, L"{APPACTIVATE Probe One Alpha}", first, L'x',
                                "down vk=88 ext=0|char 120|up vk=88 ext=1"));
    EXPECT_TRUE(
        ActivateAndType(player_, L"{APPACTIVATE Two Be}", second, L'y', "down vk=89 ext=0|char 121|up vk=89 ext=1"));

    // No such window: nothing changes and the rest is typed.
    EXPECT_TRUE(player_.Play(L"{APPACTIVATE No Such Probe}z"));
    EXPECT_EQ(GetForegroundWindow(), second.Window());
}

TEST_F(KeysOnWine, DelaysWait)
{
    Probe probe(L"Probe Delay");
    ASSERT_TRUE(probe.Window());
    probe.BringForward();
    using Clock = std::chrono::steady_clock;
    auto start = Clock::now();
    EXPECT_TRUE(player_.Play(L"{DELAY 300}a"));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(290));
    start = Clock::now();
    EXPECT_TRUE(player_.Play(L"{DELAY=150}bc"));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(290));
    EXPECT_EQ(probe.NewLines(0, 9), "down vk=65 ext=0|char 97|up vk=65 ext=1|"
                                    "down vk=66 ext=0|char 98|up vk=66 ext=1|"
                                    "down vk=67 ext=0|char 99|up vk=67 ext=1");
}

} // namespace
