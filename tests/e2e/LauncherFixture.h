// The launcher under Wine as a user runs it: its own folder with a catalogue
// file, a target window that has the focus, the keyboard through xdotool and
// the launcher's window through QvSend and QvInspect.
#pragma once

#include "ProcessRunner.h"
#include "WaitFor.h"
#include "WineProgram.h"
#include "WineSession.h"
#include "catalogue/QuorvallisCommands.h"
#include "store/CatalogueFile.h"
#include "tests/store/StoreTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace launcher_e2e {

namespace fs = std::filesystem;

constexpr const char* kExit = "1501";
constexpr const char* kEnable = "1503";
constexpr const char* kDisable = "1504";

inline std::wstring Widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// The Windows path of a file on the Unix side, through Wine's Z: drive.
inline std::wstring WindowsPath(const std::string& unixPath)
{
    std::wstring path = L"Z:" + Widen(unixPath);
    for (auto& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

inline std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void Pause(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

class LauncherE2e : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder_ = WineProgram::FreshFolder("launcher-" + name, {"app/Quorvallis.exe", "hook/QuorvallisHOOK.dll",
                                                                 "tests/probe/QvProbe.exe"});
        ranLog_ = folder_ + "/ran.log";
        targetLog_ = folder_ + "/target.log";
    }

    void TearDown() override
    {
        if (launcher_)
            PostCommand(kExit);
        if (launcher_ && launcher_->WaitForExit(10000) == -1)
            launcher_->Stop();
        if (target_)
            target_->Stop();
    }

    // "Preferences.data" as the store writes it: one command "pr" whose step
    // starts the probe with the typed argument, so its log shows what ran,
    // and the "Echo string" commands given as shortcut and text.
    void WriteCatalogue(bool enableOnStart = true, bool shownOnce = true,
                        std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> echoes = {})
    {
        QuorvallisCommands catalogue;
        catalogue.enableOnStart = enableOnStart;
        catalogue.shownOnce = shownOnce;
        AddProbeCommand(catalogue, 0);
        for (const auto& [shortcut, text] : echoes) {
            auto echo = catalogue.AddCommand(0, shortcut, L"", 0, shortcut);
            ASSERT_TRUE(echo && echo->SetRegularStep(StepType::EchoString, text));
        }
        WriteCatalogue(catalogue);
    }

    void WriteCatalogue(const QuorvallisCommands& catalogue)
    {
        MemoryFileStore memory;
        ASSERT_TRUE(Save(L"Preferences.data", catalogue, memory));
        std::ofstream(folder_ + "/Preferences.data", std::ios::binary) << memory.files[L"Preferences.data"];
    }

    // The command "Probe" with the shortcut "pr", in the given group.
    void AddProbeCommand(QuorvallisCommands& catalogue, int groupId)
    {
        auto command = catalogue.AddCommand(groupId, L"Probe", L"", 0, L"pr");
        ASSERT_TRUE(command);
        const std::wstring line = L"\"" + WindowsPath(folder_ + "/QvProbe.exe") + L"\" --title Ran --log " +
                                  WindowsPath(ranLog_) + L" --exit-after-ms 1500 --arg %%";
        ASSERT_TRUE(command->SetRegularStep(StepType::OpenExecutable, line));
        command->kind = CommandKind::Regular;
    }

    // The catalogue as the launcher left it in its folder.
    LoadOutcome ReadCatalogue(QuorvallisCommands& catalogue)
    {
        MemoryFileStore memory;
        memory.files[L"Preferences.data"] = ReadFile(folder_ + "/Preferences.data");
        return Load(L"Preferences.data", catalogue, memory).outcome;
    }

    // A probe window that has the focus and logs the keys that reach it. A
    // window that lost the focus to another program's window does not get it
    // back under a bare X server, so each phase may start a fresh one.
    void StartTarget(const std::string& title = "Target", const std::vector<std::string>& more = {})
    {
        if (target_)
            target_->Stop();
        targetLog_ = folder_ + "/" + title + ".log";
        target_ = std::make_unique<WineProgram>(folder_ + "/QvProbe.exe");
        std::vector<std::string> args{"--title", title, "--log", targetLog_};
        args.insert(args.end(), more.begin(), more.end());
        ASSERT_TRUE(target_->Start(args));
        const std::string window = WineSession::Current().WaitForWindow(title, 30000);
        ASSERT_FALSE(window.empty());
        targetWindow_ = window;
        FocusTarget();
    }

    void FocusTarget()
    {
        WineSession::Current().Xdotool({"windowfocus", "--sync", targetWindow_});
        Pause(300);
    }

    // Starts the launcher and waits until its (hidden) main window exists:
    // by then the hook is installed when the launcher starts enabled.
    void StartLauncher()
    {
        launcher_ = std::make_unique<WineProgram>(folder_ + "/Quorvallis.exe");
        ASSERT_TRUE(launcher_->Start());
        auto found = WineSession::Current().RunWine(
            {WineSession::Current().BuildFile("tests/harness/QvSend.exe"), "--title", "Preferences", "--wait", "30000"},
            40000);
        ASSERT_EQ(found.exitCode, 0) << found.output;
        Pause(500);
        if (!targetWindow_.empty())
            FocusTarget();
    }

    // With wait, sent: done once this returns.
    void PostCommand(const char* id, bool wait = false)
    {
        auto& session = WineSession::Current();
        session.RunWine({session.BuildFile("tests/harness/QvSend.exe"), "--title", "Preferences",
                         wait ? "--send" : "--post", "0x0111", id, "0"});
    }

    int ExitLauncher()
    {
        PostCommand(kExit);
        const int code = launcher_->WaitForExit(20000);
        launcher_.reset();
        return code;
    }

    void Keys(std::initializer_list<std::string> keys)
    {
        std::vector<std::string> args{"key", "--delay", "150"};
        args.insert(args.end(), keys.begin(), keys.end());
        WineSession::Current().Xdotool(args);
        Pause(300);
    }

    void Type(const std::string& text)
    {
        WineSession::Current().Xdotool({"type", "--delay", "150", text});
        Pause(300);
    }

    void Activate() { Keys({"ctrl", "ctrl"}); }

    // The characters the target window received, in order.
    std::string TargetChars()
    {
        std::istringstream log(ReadFile(targetLog_));
        std::string line, chars;
        while (std::getline(log, line))
            if (line.rfind("char ", 0) == 0)
                chars += static_cast<char>(std::stoi(line.substr(5)));
        return chars;
    }

    // How many lines of the target's log start with this ("down vk=17").
    int TargetLines(const std::string& wanted)
    {
        std::istringstream log(ReadFile(targetLog_));
        std::string line;
        int count = 0;
        while (std::getline(log, line))
            count += line.rfind(wanted + " ", 0) == 0;
        return count;
    }

    // What the inspector reads from a window of the launcher.
    std::string Inspect(const std::string& title, const std::string& command)
    {
        auto& session = WineSession::Current();
        return session.RunWine({session.BuildFile("tests/harness/QvInspect.exe"), "--wait", "10000", "--title", title,
                                command})
            .output;
    }

    bool CommandRan(int timeoutMs = 8000)
    {
        return WaitFor([&] { return ReadFile(ranLog_).find("cmdline") != std::string::npos; }, timeoutMs);
    }

    std::string folder_, ranLog_, targetLog_, targetWindow_;
    std::unique_ptr<WineProgram> target_;
    std::unique_ptr<WineProgram> launcher_;
};

} // namespace launcher_e2e
