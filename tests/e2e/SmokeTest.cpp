// The launcher starts from a folder of its own under Wine, shows its window
// on the first start and exits cleanly.
#include "WineProgram.h"
#include "WineSession.h"

#include <gtest/gtest.h>

namespace {

TEST(Smoke, ProgramStartsShowsItsWindowAndExitsCleanly)
{
    auto& session = WineSession::Current();
    const auto folder = WineProgram::FreshFolder("smoke", {"app/Quorvallis.exe", "hook/QuorvallisHOOK.dll"});
    WineProgram launcher(folder + "/Quorvallis.exe");
    ASSERT_TRUE(launcher.Start());

    ASSERT_FALSE(session.WaitForWindow("Preferences", 30000).empty()) << "no window titled Preferences";
    session.Screenshot("smoke-first-start");

    // The tray menu's "E&xit" (command 1501) is how a user ends the program.
    auto sent = session.RunWine(
        {session.BuildFile("tests/harness/QvSend.exe"), "--title", "Preferences", "--post", "0x0111", "1501", "0"});
    EXPECT_EQ(sent.exitCode, 0) << sent.output;
    EXPECT_EQ(launcher.WaitForExit(20000), 0);
}

TEST(Smoke, ProgramCarriesTheCommonControlsManifest)
{
    auto& session = WineSession::Current();
    auto dump = ProcessRunner::Run(
        {"x86_64-w64-mingw32-windres", "-J", "coff", "-O", "rc", "-i", session.BuildFile("app/Quorvallis.exe")}, {});
    ASSERT_EQ(dump.exitCode, 0) << dump.output;
    EXPECT_NE(dump.output.find("Microsoft.Windows.Common-Controls"), std::string::npos);
}

} // namespace
