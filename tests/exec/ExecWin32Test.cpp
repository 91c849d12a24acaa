// The executor, the dispatcher and the line workers against the real system
// under Wine: the shell, process creation, SendInput into a probe window,
// Sleep, a plugin library and detached worker threads.
#include "catalogue/QuorvallisCommands.h"
#include "exec/StepExecutor.h"
#include "ExecFakes.h"
#include "exec/KeystrokePlayer.h"
#include "platform/WindowMessages.h"
#include "platform/win32/Win32CommandNotifier.h"
#include "platform/win32/Win32KeyboardOutput.h"
#include "app/Win32LineWorkers.h"
#include "platform/win32/Win32PluginLibraries.h"
#include "platform/win32/Win32StepPlatform.h"
#include "plugins/QuorvallisPluginsManager.h"

#include <boost/make_shared.hpp>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::wstring>;

std::wstring ProgramFolder()
{
    wchar_t path[2048] = {};
    GetModuleFileNameW(nullptr, path, 2048);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring FullPath(const std::wstring& path)
{
    wchar_t full[2048] = {};
    GetFullPathNameW(path.c_str(), 2048, full, nullptr);
    return full;
}

std::wstring ProbePath()
{
    return FullPath(ProgramFolder() + L"..\\probe\\QvProbe.exe");
}

// A file in the temporary folder, unique to this run and removed first.
std::wstring TempFile(const std::wstring& name)
{
    wchar_t folder[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, folder);
    const std::wstring path = std::wstring(folder) + L"qvexec-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name;
    DeleteFileW(path.c_str());
    return path;
}

std::string ReadBytes(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary); // MinGW's ifstream takes wide paths
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<std::string> Lines(const std::wstring& path)
{
    std::vector<std::string> lines;
    std::istringstream in(ReadBytes(path));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string Narrow(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

// Pumps this thread's messages until the condition holds or time runs out.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 10000)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (condition())
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

bool LogHasLineStarting(const std::wstring& log, const std::string& prefix)
{
    for (const std::string& line : Lines(log))
        if (line.compare(0, prefix.size(), prefix) == 0)
            return true;
    return false;
}

class StepsOnTheSystem : public testing::Test {
protected:
    bool Run(std::vector<StepPtr> steps, ArgumentList tokens, const QuorvallisPluginsManager* plugins = nullptr)
    {
        command.steps = std::move(steps);
        return executor.RunCommandSteps(command, tokens, plugins);
    }

    Win32StepPlatform platform;
    Win32KeyboardOutput keyboard;
    RecordingKeystrokePlayer player;
    StepExecutor executor{platform, keyboard, player};
    QuorvallisCommand command{3, L"name", L"", -1, 0, L"go"};
};

TEST_F(StepsOnTheSystem, ShellOpensTheDocumentNamedThroughThePlaceholder)
{
    const std::wstring log = TempFile(L"shell.log");
    const std::wstring script = TempFile(L"shell.cmd");
    std::ofstream(script.c_str()) << "@\"" << Narrow(ProbePath()) << "\" --log \"" << Narrow(log)
                                  << "\" --title QvShellOpened --exit-after-ms 1500\r\n";
    const std::wstring pattern = script.substr(0, script.size() - 9) + L"%%.cmd"; // ...-shell.cmd

    EXPECT_TRUE(Run({MakeStep(StepType::OpenWebPage, pattern)}, {L"go", L"shell"}));
    EXPECT_TRUE(WaitFor([&] { return LogHasLineStarting(log, "cmdline "); })) << "the probe never started";
}

TEST_F(StepsOnTheSystem, ShellRefusalFailsTheStep)
{
    EXPECT_FALSE(
        Run({MakeStep(StepType::OpenWebPage, L"C:\\no\\such\\folder\\missing-qv.txt"), MakePauseStep(1)}, {L"go"}));
}

TEST_F(StepsOnTheSystem, ProcessStartsWithTheFilledCommandLine)
{
    const std::wstring log = TempFile(L"start.log");
    const std::wstring text = L"\"" + ProbePath() + L"\" --log \"%%\" --title %% --exit-after-ms 1500 %%";
    EXPECT_TRUE(Run({MakeStep(StepType::OpenExecutable, text)}, {L"go", log, L"QvStarted", L"\"quoted arg\"x"}));
    ASSERT_TRUE(WaitFor([&] { return LogHasLineStarting(log, "cmdline "); })) << "the probe never started";
    const std::wstring expected =
        L"\"" + ProbePath() + L"\" --log \"" + log + L"\" --title QvStarted --exit-after-ms 1500 \"quoted arg\"x";
    EXPECT_EQ(Lines(log).front(), "cmdline " + Narrow(expected));
}

TEST_F(StepsOnTheSystem, MissingProgramFailsTheStep)
{
    EXPECT_FALSE(Run({MakeStep(StepType::OpenExecutable, L"C:\\no\\such\\program-qv.exe"), MakePauseStep(1)}, {L"go"}));
    EXPECT_FALSE(Run({MakeStep(StepType::OpenExecutable, L"")}, {L"go"}));
}

TEST_F(StepsOnTheSystem, PauseSleepsOnlyWithinItsBounds)
{
    const ULONGLONG start = GetTickCount64();
    EXPECT_TRUE(Run({MakePauseStep(200)}, {L"go"}));
    EXPECT_GE(GetTickCount64() - start, 180u);

    const ULONGLONG again = GetTickCount64();
    EXPECT_FALSE(Run({MakePauseStep(0), MakePauseStep(2000)}, {L"go"}));
    EXPECT_FALSE(Run({MakePauseStep(100001)}, {L"go"}));
    EXPECT_LT(GetTickCount64() - again, 1000u);
}

// A probe window with the keyboard focus, logging what it receives.
class ProbeWindow {
public:
    explicit ProbeWindow(const std::wstring& name) : log_(TempFile(name + L".log")), title_(L"QvExec " + name)
    {
        std::wstring commandLine =
            L"\"" + ProbePath() + L"\" --log \"" + log_ + L"\" --title \"" + title_ + L"\" --exit-after-ms 20000";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                           &process)) {
            process_ = process.hProcess;
            CloseHandle(process.hThread);
        }
    }
    ~ProbeWindow()
    {
        if (!process_)
            return;
        // Closed as a user would, so the desktop's focus moves on cleanly for
        // the tests that follow; killed only if it does not go.
        if (HWND window = FindWindowW(L"QvProbeWindow", title_.c_str()))
            PostMessageW(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_, 5000) != WAIT_OBJECT_0)
            TerminateProcess(process_, 0);
        CloseHandle(process_);
    }

    // Waits for the window and brings it to the front.
    bool Focus()
    {
        HWND window = nullptr;
        if (!WaitFor([&] { return (window = FindWindowW(L"QvProbeWindow", title_.c_str())) != nullptr; }))
            return false;
        return WaitFor(
            [&] {
                SetForegroundWindow(window);
                return GetForegroundWindow() == window;
            },
            5000);
    }

    // The key messages as "down 17" / "up 65", system and plain alike.
    std::vector<std::string> KeyEvents() const
    {
        std::vector<std::string> events;
        for (const std::string& line : Lines(log_)) {
            std::istringstream in(line);
            std::string kind, vk;
            in >> kind >> vk;
            if (kind == "sysdown")
                kind = "down";
            if (kind == "sysup")
                kind = "up";
            if (kind == "down" || kind == "up")
                events.push_back(kind + " " + vk.substr(3));
        }
        return events;
    }

    // The characters the window received, in order.
    std::wstring Chars() const
    {
        std::wstring chars;
        for (const std::string& line : Lines(log_))
            if (line.compare(0, 5, "char ") == 0)
                chars += static_cast<wchar_t>(std::stoul(line.substr(5)));
        return chars;
    }

    std::wstring Log() const { return log_; }

private:
    std::wstring log_;
    std::wstring title_;
    HANDLE process_ = nullptr;
};

TEST_F(StepsOnTheSystem, KeyCombinationArrivesInOrder)
{
    ProbeWindow probe(L"keys");
    ASSERT_TRUE(probe.Focus());
    EXPECT_TRUE(Run({MakeKeyStep(0x41, 1 | 2 | 4)}, {L"go"}));
    const std::vector<std::string> expected = {"down 17", "down 18", "down 16", "down 65",
                                               "up 65",   "up 17",   "up 18",   "up 16"};
    EXPECT_TRUE(WaitFor([&] { return probe.KeyEvents().size() >= expected.size(); }, 5000));
    EXPECT_EQ(probe.KeyEvents(), expected);
}

TEST(EchoStringOnTheSystem, TypesTheFilledTextIntoTheFocusedWindow)
{
    Win32StepPlatform platform;
    Win32KeyboardOutput keyboard;
    KeystrokePlayer player(keyboard);
    StepExecutor executor(platform, keyboard, player);
    QuorvallisCommand command(3, L"Type", L"", -1, 0, L"type");
    command.steps = {MakeStep(StepType::EchoString, L"h%%"), MakeStep(StepType::EchoString, L"+%%")};

    ProbeWindow probe(L"echo");
    ASSERT_TRUE(probe.Focus());
    ArgumentList tokens = {L"type", L"i", L"x"};
    EXPECT_TRUE(executor.RunCommandSteps(command, tokens, nullptr));
    EXPECT_TRUE(WaitFor([&] { return probe.Chars() == L"hiX"; }, 5000)) << Narrow(probe.Chars());

    // A broken text types nothing and stops the script.
    command.steps = {MakeStep(StepType::EchoString, L"ab{" + std::wstring(300, L'x')),
                     MakeStep(StepType::EchoString, L"c")};
    tokens = {L"type"};
    EXPECT_FALSE(executor.RunCommandSteps(command, tokens, nullptr));
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(probe.Chars(), L"hiX");
}

TEST_F(StepsOnTheSystem, PluginActionsTakeArgumentsInTurn)
{
    QuorvallisPluginsManager manager(boost::make_shared<Win32PluginLibraries>(), ProgramFolder() + L"Plugins");
    ASSERT_TRUE(manager.ScanPluginsFolder());
    const std::wstring out = TempFile(L"plugin.txt");
    const StepPtr append = MakeStep(StepType::PluginAction, L"ExecAppend");

    EXPECT_TRUE(Run({append, append}, {L"go", out, L"one", out, L"two words"}, &manager));
    EXPECT_FALSE(Run({append, append}, {L"go", out, L"fail", out, L"never"}, &manager));
    EXPECT_FALSE(Run({append}, {L"go", out}, &manager));
    const std::string bytes = ReadBytes(out);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t)),
              L"one\ntwo words\n");
}

// ---- Typed lines on worker threads --------------------------------------------

std::vector<WPARAM> g_notices;

LRESULT CALLBACK NoticeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMANDEXECUTED) {
        g_notices.push_back(wParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// What the workers' keystroke players saw, from whichever thread.
struct PlayedOnWorkers {
    std::mutex guard;
    std::vector<std::wstring> texts;
    std::vector<DWORD> threads;
    std::vector<SIZE_T> stackReservations;
};

class WorkerPlayer : public IKeystrokePlayer {
public:
    explicit WorkerPlayer(std::shared_ptr<PlayedOnWorkers> sink) : sink_(std::move(sink)) {}
    bool Play(const std::wstring& text) override
    {
        // The whole reservation of this thread's stack: every region of the
        // allocation that holds a local variable.
        MEMORY_BASIC_INFORMATION region = {};
        VirtualQuery(&region, &region, sizeof(region));
        const PVOID base = region.AllocationBase;
        SIZE_T reserved = 0;
        for (auto* at = static_cast<BYTE*>(base);
             VirtualQuery(at, &region, sizeof(region)) && region.AllocationBase == base; at += region.RegionSize)
            reserved += region.RegionSize;

        std::lock_guard<std::mutex> lock(sink_->guard);
        sink_->texts.push_back(text);
        sink_->threads.push_back(GetCurrentThreadId());
        sink_->stackReservations.push_back(reserved);
        return true;
    }

private:
    std::shared_ptr<PlayedOnWorkers> sink_;
};

class LineWorkersTest : public testing::Test {
protected:
    LineWorkersTest()
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = NoticeWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QvExecNoticeWindow";
        RegisterClassW(&windowClass);
        window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
        catalogue->SetMainWindow(window);
        g_notices.clear();

        nop = catalogue->AddCommand(0, L"Nothing", L"", -1, L"nop");
        echo = catalogue->AddCommand(0, L"Echo", L"", -1, L"echo");
        echo->SetRegularStep(StepType::EchoString, L"%%");
        broken = catalogue->AddCommand(0, L"Broken", L"", -1, L"broken");
        broken->steps = {MakePauseStep(0)};
    }
    ~LineWorkersTest() override { DestroyWindow(window); }

    HWND window = nullptr;
    boost::shared_ptr<QuorvallisCommands> catalogue = boost::make_shared<QuorvallisCommands>();
    CommandPtr nop, echo, broken;
    std::shared_ptr<PlayedOnWorkers> played = std::make_shared<PlayedOnWorkers>();
    Win32LineWorkers workers{
        catalogue, [sink = played](IKeyboardOutput&, StopSignal&) { return std::make_unique<WorkerPlayer>(sink); }};
};

TEST_F(LineWorkersTest, SuccessfulLineIsCountedAndTheWindowTold)
{
    ASSERT_TRUE(IsWindow(window));
    ASSERT_TRUE(workers.Start(L"NOP"));
    ASSERT_TRUE(WaitFor([&] { return !g_notices.empty(); })) << "no notice reached the window";
    EXPECT_EQ(g_notices, std::vector<WPARAM>{static_cast<WPARAM>(nop->id)});
    EXPECT_EQ(catalogue->TimesExecuted(nop->id), 1);
}

TEST_F(LineWorkersTest, LineRunsOnItsOwnSmallStackAndIsCutAt1199Characters)
{
    ASSERT_TRUE(workers.Start(L"echo " + std::wstring(2000, L'x')));
    ASSERT_TRUE(WaitFor([&] { return !g_notices.empty(); }));
    std::lock_guard<std::mutex> lock(played->guard);
    ASSERT_EQ(played->texts.size(), 1u);
    EXPECT_EQ(played->texts[0], std::wstring(1199 - 5, L'x'));
    EXPECT_NE(played->threads[0], GetCurrentThreadId());
    // Windows reserves exactly what was asked; Wine reserves at least 1 MB.
    // Either way it is less than the program's default reservation, which a
    // thread gets when the size is taken as a commit size instead.
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(GetModuleHandleW(nullptr));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(reinterpret_cast<const BYTE*>(dos) + dos->e_lfanew);
    const SIZE_T asked = Win32LineWorkers::kStackReservation;
    EXPECT_GE(played->stackReservations[0], asked);
    EXPECT_LE(played->stackReservations[0], std::max<SIZE_T>(asked, 1 << 20));
    EXPECT_LT(played->stackReservations[0], nt->OptionalHeader.SizeOfStackReserve);
    EXPECT_EQ(catalogue->TimesExecuted(echo->id), 1);
}

TEST_F(LineWorkersTest, SeveralLinesRunSideBySide)
{
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(workers.Start(i % 2 ? L"nop" : L"echo " + std::to_wstring(i)));
    ASSERT_TRUE(WaitFor([&] { return g_notices.size() == 8; }));
    EXPECT_EQ(catalogue->TimesExecuted(nop->id), 4);
    EXPECT_EQ(catalogue->TimesExecuted(echo->id), 4);
}

TEST_F(LineWorkersTest, FailedOrUnknownLinesAreNeitherCountedNorTold)
{
    ASSERT_TRUE(workers.Start(L"broken"));
    ASSERT_TRUE(workers.Start(L"unknown"));
    ASSERT_TRUE(workers.Start(L"   "));
    ASSERT_TRUE(workers.Start(L"echo")); // placeholder without argument
    // Every line has ended, however slowly: only then is "no notice" proof.
    // (A line told as run would hold its worker in the notice, unanswered.)
    ASSERT_TRUE(workers.StopRunningLines(10000));
    EXPECT_FALSE(workers.Start(L"nop")) << "a line started after the stop";
    WaitFor([] { return false; }, 0); // delivers any notice sent meanwhile
    EXPECT_TRUE(g_notices.empty());
    EXPECT_EQ(catalogue->TimesExecuted(broken->id), 0);
    EXPECT_EQ(catalogue->TimesExecuted(echo->id), 0);
}

TEST_F(LineWorkersTest, CountRisesWhenTheWindowIsGone)
{
    DestroyWindow(window);
    ASSERT_TRUE(workers.Start(L"nop"));
    EXPECT_TRUE(WaitFor([&] { return catalogue->TimesExecuted(nop->id) == 1; }));
    EXPECT_TRUE(g_notices.empty());
}

TEST_F(LineWorkersTest, ProgramWorkersTypeIntoTheFocusedWindow)
{
    Win32LineWorkers programWorkers(catalogue);
    ProbeWindow probe(L"worker");
    ASSERT_TRUE(probe.Focus());
    ASSERT_TRUE(programWorkers.Start(L"Echo \"ok go\""));
    ASSERT_TRUE(WaitFor([&] { return !g_notices.empty(); }));
    EXPECT_TRUE(WaitFor([&] { return probe.Chars() == L"\"ok go\""; }, 5000)) << Narrow(probe.Chars());
    EXPECT_EQ(catalogue->TimesExecuted(echo->id), 1);
}

TEST(LineWorkersWithoutCatalogue, RefuseToStart)
{
    Win32LineWorkers workers(nullptr,
                             [](IKeyboardOutput&, StopSignal&) { return std::unique_ptr<IKeystrokePlayer>(); });
    EXPECT_FALSE(workers.Start(L"nop"));
}

} // namespace
