// Programs of the Start menu under Wine: shortcuts made with IShellLink in
// the user's Start menu (by QvShortcut, as an installer would) are found by
// a fragment of their name and started by Enter, also one made while the
// launcher runs; neither is ever named in the catalogue file.
#include "Inspector.h"
#include "LauncherFixture.h"
#include "programs/ProgramUsage.h"

#include <map>

using namespace launcher_e2e;

namespace {

class ProgramsE2e : public LauncherE2e {
protected:
    void TearDown() override
    {
        LauncherE2e::TearDown();
        // The prefix's Start menu is every test's: the shortcuts go.
        for (const std::string& name : made_)
            Shortcut({"remove", name});
    }

    ProcessRunner::Result Shortcut(const std::vector<std::string>& args)
    {
        auto& session = WineSession::Current();
        std::vector<std::string> command{session.BuildFile("tests/harness/QvShortcut.exe")};
        command.insert(command.end(), args.begin(), args.end());
        return session.RunWine(command);
    }

    // A shortcut to the probe, which logs its command line to <log>.
    void MakeProbeShortcut(const std::string& name, const std::string& log)
    {
        made_.push_back(name);
        const auto made = Shortcut({"make", name, Narrow(WindowsPath(folder_ + "/QvProbe.exe")),
                                    "--title " + name + " --exit-after-ms 1500 --log " +
                                        Narrow(WindowsPath(folder_ + "/" + log))});
        ASSERT_EQ(made.exitCode, 0) << made.output;
    }

    // Opens the popup, types `line` and presses Enter once the first row of
    // the matches is `name`; tries again (Escape, a new popup) until the
    // launcher has found it, at most `timeoutMs`.
    bool StartByFragment(const std::string& line, const std::string& name, int timeoutMs)
    {
        return WaitFor(
            [&] {
                Activate();
                Type(line);
                if (WaitFor([&] { return FirstMatchRow() == name + "|program"; }, 1500)) {
                    Keys({"Return"});
                    return true;
                }
                Keys({"Escape"});
                return false;
            },
            timeoutMs);
    }

    // The highlighted row of the list of matches as "name|shortcut" (a
    // program's shortcut is the word "program"); empty without a list.
    std::string FirstMatchRow()
    {
        int status = 0;
        const auto rows = inspector::InspectClass("QuorvallisMatches", {"lines"}, &status);
        for (const auto& row : rows)
            if (status == 0 && row.size() == 3 && row[0] == "1")
                return row[1] + "|" + row[2];
        return {};
    }

    std::vector<std::string> made_;
};

TEST_F(ProgramsE2e, StartMenuShortcutsAreFoundByAFragmentStartedByEnterAndNeverStoredInTheCatalogue)
{
    UserNumber listOn(UserNumber::kOptionsKey, "ShowMatches", 1);
    UserNumber programsOn(UserNumber::kOptionsKey, "ShowPrograms", 1);
    MakeProbeShortcut("Qv Zephyr Alpha", "alpha.log");
    WriteCatalogue();
    StartTarget();
    StartLauncher();

    // Found by a fragment of its name; the typed argument goes after the
    // shortcut's own.
    ASSERT_TRUE(StartByFragment("zephal one", "Qv Zephyr Alpha", 20000));
    ASSERT_TRUE(WaitFor([&] { return ReadFile(folder_ + "/alpha.log").find("cmdline") != std::string::npos; }))
        << "the program did not start";
    const std::string alpha = ReadFile(folder_ + "/alpha.log");
    EXPECT_NE(alpha.find("--title Qv Zephyr Alpha"), std::string::npos) << alpha;
    EXPECT_NE(alpha.find(" one"), std::string::npos) << alpha;
    // The probe took the focus: a new target gets it back once it is gone.
    WaitFor([&] { return ReadFile(folder_ + "/alpha.log").find("\nexit") != std::string::npos; }, 10000);
    StartTarget("Target2");

    // Installed while the launcher runs: found within seconds.
    MakeProbeShortcut("Qv Zephyr Beta", "beta.log");
    ASSERT_TRUE(StartByFragment("zephbe", "Qv Zephyr Beta", 10000)) << "the new program was not found";
    ASSERT_TRUE(WaitFor([&] { return ReadFile(folder_ + "/beta.log").find("cmdline") != std::string::npos; }));

    EXPECT_EQ(ExitLauncher(), 0);
    // Neither in the catalogue file, which still loads; both counted in
    // their own file.
    const std::string stored = ReadFile(folder_ + "/Preferences.data");
    EXPECT_EQ(stored.find(std::string("Z\0e\0p\0h\0y\0r\0", 12)), std::string::npos);
    QuorvallisCommands catalogue;
    EXPECT_EQ(ReadCatalogue(catalogue), LoadOutcome::Loaded);
    std::map<std::wstring, int> counts;
    ASSERT_TRUE(ProgramUsage::Decode(ReadFile(folder_ + "/Programs.data"), counts));
    EXPECT_EQ(counts, (std::map<std::wstring, int>{{L"qv zephyr alpha.lnk", 1}, {L"qv zephyr beta.lnk", 1}}));
}

} // namespace
