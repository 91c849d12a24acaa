// The launcher under Wine as a user runs it: its own folder with a catalogue
// file, a target window that has the focus, the keyboard through xdotool and
// the launcher's window through QvSend and QvInspect.
#pragma once

#include "Inspector.h"
#include "MainWindowIds.h"
#include "ProcessRunner.h"
#include "WaitFor.h"
#include "WineProgram.h"
#include "WineSession.h"
#include "catalogue/QuorvallisCommands.h"
#include "store/CatalogueFile.h"
#include "tests/store/StoreTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <thread>

namespace launcher_e2e {

namespace fs = std::filesystem;

// What the launcher's tray icon says.
constexpr const char* kEnabledTip = "Quorvallis (enabled)";
constexpr const char* kDisabledTip = "Quorvallis (disabled)";

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

// Only for what must not happen: nothing shows that it will not come.
inline void Pause(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// A number under the current user's registry key for the programs started
// while it lives, deleted again afterwards whatever the test did.
class UserNumber {
public:
    static constexpr const char* kOptionsKey = "HKCU\\Software\\Quorvallis";
    static constexpr const char* kDesktopKey = "HKCU\\Control Panel\\Desktop";

    UserNumber(std::string key, std::string name, int value) : key_(std::move(key)), name_(std::move(name))
    {
        Reg({"add", key_, "/v", name_, "/t", "REG_DWORD", "/d", std::to_string(value), "/f"});
    }
    UserNumber(const UserNumber&) = delete;
    UserNumber& operator=(const UserNumber&) = delete;
    ~UserNumber() { Reg({"delete", key_, "/v", name_, "/f"}); }

    // The stored value as "reg query" prints it ("0x1"); empty when there is none.
    std::string Query() const
    {
        std::istringstream words(Reg({"query", key_, "/v", name_}));
        std::string word, last;
        while (words >> word)
            last = word;
        return last.rfind("0x", 0) == 0 ? last : std::string();
    }

private:
    static std::string Reg(std::vector<std::string> args)
    {
        args.insert(args.begin(), "reg");
        return WineSession::Current().RunWine(args).output;
    }

    std::string key_, name_;
};

class LauncherE2e : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder_ = WineProgram::FreshFolder(
            "launcher-" + name, {"app/Quorvallis.exe", "hook/QuorvallisHOOK.dll", "tests/probe/QvProbe.exe"});
        ranLog_ = folder_ + "/ran.log";
        targetLog_ = folder_ + "/target.log";
    }

    void TearDown() override
    {
        // The desktop's Caps Lock goes back as it was, however the test ended.
        if (capsLockPressed_)
            Keys({"Caps_Lock"});
        if (launcher_)
            PostCommand(IDM_TRAY_EXIT);
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
        targetTitle_ = title;
        FocusTarget();
    }

    // Keys typed reach the window that Wine has made the foreground window.
    void FocusTarget()
    {
        WineSession::Current().Xdotool({"windowfocus", "--sync", targetWindow_});
        WaitFor([&] { return inspector::WindowInfo(targetTitle_, "foreground") == inspector::Record{"1"}; }, 5000);
    }

    // Starts the launcher and waits until its tray icon is there: the icon
    // comes after the hook was installed when the launcher starts enabled.
    void StartLauncher()
    {
        const size_t icons = TrayTips().size();
        launcher_ = std::make_unique<WineProgram>(folder_ + "/Quorvallis.exe");
        ASSERT_TRUE(launcher_->Start());
        auto found = WineSession::Current().RunWine(
            {WineSession::Current().BuildFile("tests/harness/QvSend.exe"), "--title", "Preferences", "--wait", "30000"},
            40000);
        ASSERT_EQ(found.exitCode, 0) << found.output;
        WaitFor([&] { return TrayTips().size() > icons; }, 20000);
        if (!targetWindow_.empty())
            FocusTarget();
    }

    // The tooltips of the launchers' icons in the notification area. Icons
    // of launchers that ended without a word stay until the tray notices.
    std::vector<std::string> TrayTips()
    {
        std::vector<std::string> tips;
        for (const inspector::Record& tool : inspector::Inspect("Wine System Tray", {"tooltips"}))
            if (tool.size() >= 3 && tool[2].rfind("Quorvallis", 0) == 0)
                tips.push_back(tool[2]);
        return tips;
    }

    // Runs `change` and waits until one more icon says `tip`: the launcher's
    // own icon, since those of ended launchers never change.
    bool TrayIconTurns(const std::string& tip, const std::function<void()>& change)
    {
        const auto count = [&] {
            const auto tips = TrayTips();
            return std::count(tips.begin(), tips.end(), tip);
        };
        const auto before = count();
        change();
        return WaitFor([&] { return count() > before; }, 20000);
    }

    void SetEnabled(bool enabled)
    {
        TrayIconTurns(enabled ? kEnabledTip : kDisabledTip,
                      [&] { PostCommand(enabled ? IDM_TRAY_ENABLE : IDM_TRAY_DISABLE); });
    }

    // With wait, sent: done once this returns.
    void PostCommand(int id, bool wait = false)
    {
        auto& session = WineSession::Current();
        session.RunWine({session.BuildFile("tests/harness/QvSend.exe"), "--title", "Preferences",
                         wait ? "--send" : "--post", "0x0111", std::to_string(id), "0"});
    }

    int ExitLauncher()
    {
        PostCommand(IDM_TRAY_EXIT);
        const int code = launcher_->WaitForExit(20000);
        launcher_.reset();
        return code;
    }

    // Turns Caps Lock on for the rest of the test.
    void PressCapsLock()
    {
        Keys({"Caps_Lock"});
        capsLockPressed_ = true;
    }

    void Keys(std::initializer_list<std::string> keys)
    {
        std::vector<std::string> args{"key", "--delay", "150"};
        args.insert(args.end(), keys.begin(), keys.end());
        WineSession::Current().Xdotool(args);
    }

    void Type(const std::string& text) { WineSession::Current().Xdotool({"type", "--delay", "150", text}); }

    // The control keys twice. Under Wine the hook misses keys while a popup
    // is still going away: they wait until it has gone. Then they wait for
    // the popup, or, when the launcher lets them through, for the target to
    // have had them. Keys may still be on their way: the X server is asked
    // first, since a Windows program started now would hold up the
    // launcher's answers to the hook.
    void Activate()
    {
        WaitFor([&] { return !UntitledWindowShown(); }, 2000);
        WaitFor([&] { return PopupText() == kNoPopup; });
        const int ups = TargetLines("up vk=17");
        Keys({"ctrl", "ctrl"});
        WaitFor([&] { return TargetLines("up vk=17") >= ups + 2 || UntitledWindowShown(); });
    }

    // Whether a window of the launcher without a title (the typing popup, or
    // a tooltip) is on the screen.
    bool UntitledWindowShown()
    {
        const auto windows = [](const std::vector<std::string>& search) {
            std::vector<std::string> args{"search", "--onlyvisible"};
            args.insert(args.end(), search.begin(), search.end());
            std::istringstream found(WineSession::Current().Xdotool(args).output);
            std::vector<std::string> ids;
            for (std::string id; std::getline(found, id);)
                ids.push_back(id);
            std::sort(ids.begin(), ids.end());
            return ids;
        };
        const auto launcher = windows({"--classname", "^quorvallis"}), untitled = windows({"--name", "^$"});
        std::vector<std::string> both;
        std::set_intersection(launcher.begin(), launcher.end(), untitled.begin(), untitled.end(),
                              std::back_inserter(both));
        return !both.empty();
    }

    // A text of the typing popup (the typed line by default), or kNoPopup
    // while no popup is shown.
    static constexpr const char* kNoPopup = "<none>";
    std::string PopupText(int id = IDC_INFO_TEXT)
    {
        int status = 0;
        const auto records = inspector::Inspect("Preferences", {"--untitled", "text", std::to_string(id)}, &status);
        if (status != 0 || records.empty())
            return kNoPopup;
        return records[0].empty() ? std::string() : records[0][0];
    }

    // Waits until the target has had these characters, in all.
    bool TargetHas(const std::string& chars)
    {
        return WaitFor([&] { return TargetChars() == chars; }, 8000);
    }

    // Waits until the probe that the command "pr" started has closed again:
    // its window takes the focus while it lives.
    bool RanProbeEnded()
    {
        return WaitFor([&] { return ReadFile(ranLog_).find("\nexit") != std::string::npos; }, 20000);
    }

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
        return session
            .RunWine({session.BuildFile("tests/harness/QvInspect.exe"), "--wait", "10000", "--title", title, command})
            .output;
    }

    bool CommandRan(int timeoutMs = 8000)
    {
        return WaitFor([&] { return ReadFile(ranLog_).find("cmdline") != std::string::npos; }, timeoutMs);
    }

    std::string folder_, ranLog_, targetLog_, targetWindow_, targetTitle_;
    bool capsLockPressed_ = false;
    std::unique_ptr<WineProgram> target_;
    std::unique_ptr<WineProgram> launcher_;
};

} // namespace launcher_e2e
