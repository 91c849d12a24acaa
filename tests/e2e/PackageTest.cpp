// The portable zip as a Windows user gets it: made by the documented command,
// unpacked into a fresh folder, and run from there under Wine like any
// program the user unpacked.
#include "LauncherFixture.h"

#include <map>
#include <set>
#include <tuple>

using namespace launcher_e2e;

namespace {

// The version the about box names ("Quorvallis 1.0").
const std::string kVersion = "1.0";
const std::string kTopFolder = "Quorvallis-" + kVersion + "-win64";

ProcessRunner::Result RunHere(const std::vector<std::string>& argv, const std::map<std::string, std::string>& more = {})
{
    auto environment = WineSession::Current().Environment();
    environment.insert(more.begin(), more.end());
    return ProcessRunner::Run(argv, environment, 120000);
}

// What the file's properties show, as Windows reads its version resource.
std::map<std::string, std::string> FileVersion(const std::string& path)
{
    auto& session = WineSession::Current();
    const auto read =
        session.RunWine({session.BuildFile("tests/harness/QvFileVersion.exe"), Narrow(WindowsPath(path))});
    std::map<std::string, std::string> fields;
    std::istringstream lines(read.output);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto eq = line.find('=');
        if (eq != std::string::npos)
            fields[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return fields;
}

class PackageE2e : public LauncherE2e {
protected:
    // The base's folder holds copies from the build tree; this one is the zip.
    void SetUp() override
    {
        auto& session = WineSession::Current();
        const fs::path build = session.windowsBuild();
        // The script packs the build tree this test belongs to.
        const auto made =
            RunHere({QV_SOURCE_DIR "/scripts/package.sh"}, {{"QUORVALLIS_BUILD", build.parent_path().string()}});
        ASSERT_EQ(made.exitCode, 0) << made.output;
        zip_ = (build / (kTopFolder + ".zip")).string();
        ASSERT_TRUE(fs::exists(zip_)) << made.output;

        const fs::path unpacked = fs::path(session.ArtefactsDir()) / "package-unpacked";
        fs::remove_all(unpacked);
        fs::create_directories(unpacked);
        const auto unzip = RunHere({"cmake", "-E", "chdir", unpacked.string(), "cmake", "-E", "tar", "xf", zip_});
        ASSERT_EQ(unzip.exitCode, 0) << unzip.output;
        folder_ = (unpacked / kTopFolder).string();
        ranLog_ = folder_ + "/ran.log";
        targetLog_ = folder_ + "/target.log";
    }

    std::set<std::string> ZipEntries()
    {
        const auto listing = RunHere({"cmake", "-E", "tar", "tf", zip_});
        EXPECT_EQ(listing.exitCode, 0) << listing.output;
        std::set<std::string> entries;
        std::istringstream lines(listing.output);
        std::string line;
        while (std::getline(lines, line))
            entries.insert(line);
        return entries;
    }

    std::string zip_;
};

TEST_F(PackageE2e, UnpackedZipRunsACommandAndKeepsTheCatalogueBesideTheProgram)
{
    // Exactly what a user needs: no test programs, no build leftovers.
    const std::string top = kTopFolder + "/";
    const std::set<std::string> expected{
        top + "Quorvallis.exe",
        top + "QuorvallisHOOK.dll",
        top + "QuorvallisPluginHost.exe",
        top + "Plugins/",
        top + "User Guide.txt",
        top + "Example plugin/",
        top + "Example plugin/QuorvallisExamplePlugin.dll",
        top + "Example plugin/QuorvallisExamplePlugin.cpp",
        top + "Example plugin/QuorvallisExamplePlugin.def",
        top + "Example plugin/README.md",
    };
    EXPECT_EQ(ZipEntries(), expected);
    EXPECT_TRUE(fs::is_directory(folder_ + "/Plugins"));
    EXPECT_TRUE(fs::is_empty(folder_ + "/Plugins"));

    // Older Notepads show a guide with bare line feeds as one long line.
    const std::string guide = ReadFile(folder_ + "/User Guide.txt");
    ASSERT_GT(guide.size(), 1000u);
    for (size_t at = guide.find('\n'); at != std::string::npos; at = guide.find('\n', at + 1))
        ASSERT_TRUE(at > 0 && guide[at - 1] == '\r') << "a bare line feed at byte " << at;

    // The version resources, as the files' properties show them.
    const std::vector<std::tuple<std::string, std::string, std::string>> files{
        {"Quorvallis.exe", "app", "Quorvallis command launcher"},
        {"QuorvallisHOOK.dll", "dll", "Quorvallis keyboard hook"},
    };
    for (const auto& [name, type, description] : files) {
        auto version = FileVersion(folder_ + "/" + name);
        EXPECT_EQ(version["fixed"], kVersion + ".0.0") << name;
        EXPECT_EQ(version["product"], kVersion + ".0.0") << name;
        EXPECT_EQ(version["type"], type) << name;
        EXPECT_EQ(version["FileVersion"], kVersion) << name;
        EXPECT_EQ(version["ProductVersion"], kVersion) << name;
        EXPECT_EQ(version["ProductName"], "Quorvallis") << name;
        EXPECT_EQ(version["FileDescription"], description) << name;
        EXPECT_EQ(version["OriginalFilename"], name) << name;
    }

    // The user's own program for the command, beside the catalogue.
    fs::copy_file(WineSession::Current().BuildFile("tests/probe/QvProbe.exe"), folder_ + "/QvProbe.exe");
    WriteCatalogue();
    StartTarget();
    StartLauncher();
    Activate();
    Type("pr unpacked");
    Keys({"Return"});
    ASSERT_TRUE(CommandRan()) << "the unpacked program did not run the command";
    EXPECT_NE(ReadFile(ranLog_).find("--arg unpacked"), std::string::npos) << ReadFile(ranLog_);
    EXPECT_EQ(ExitLauncher(), 0);

    // The catalogue was saved beside the program, the previous one kept as
    // the backup the guide names.
    QuorvallisCommands stored;
    ASSERT_EQ(ReadCatalogue(stored), LoadOutcome::Loaded);
    ASSERT_TRUE(stored.FindCommandByShortcut(L"pr"));
    EXPECT_EQ(stored.FindCommandByShortcut(L"pr")->timesExecuted, 1);
    EXPECT_TRUE(fs::exists(folder_ + "/Preferences.data.bak"));
}

} // namespace
