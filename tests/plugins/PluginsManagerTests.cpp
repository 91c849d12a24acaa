#include "plugins/PluginTextBuffer.h"
#include "plugins/QuorvallisPluginsManager.h"
#include "tests/plugins/FakePluginLibraries.h"

#include <boost/make_shared.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

namespace {

const std::wstring kFolder = L"C:\\Q\\Plugins";
const std::wstring kPrefix = L"C:\\Q\\Plugins\\";

class PluginsManagerTest : public ::testing::Test {
protected:
    boost::shared_ptr<FakePluginLibraries> fake = boost::make_shared<FakePluginLibraries>();
    QuorvallisPluginsManager manager{fake, kFolder};

    std::vector<std::wstring> Names() const
    {
        std::vector<std::wstring> names;
        for (const auto& plugin : manager.plugins)
            names.push_back(plugin->actionName);
        return names;
    }

    std::vector<std::wstring> Loads() const
    {
        std::vector<std::wstring> loads;
        for (const auto& call : fake->calls) {
            if (call.compare(0, 5, L"load ") == 0)
                loads.push_back(call.substr(5));
        }
        return loads;
    }

    // A folder of plugins with these names and argument counts, scanned.
    void ScanPlugins(const std::vector<std::pair<std::wstring, int>>& actions)
    {
        std::vector<std::wstring> files;
        for (const auto& [name, count] : actions) {
            files.push_back(name + L".dll");
            fake->AddPlugin(kPrefix + files.back(), name, count);
        }
        fake->AddFolder(kPrefix, files);
        ASSERT_TRUE(manager.ScanPluginsFolder());
        fake->calls.clear();
    }
};

TEST(PluginsFolderFor, CutsAfterTheLastBackslash)
{
    const struct {
        const wchar_t* program;
        const wchar_t* folder;
    } cases[] = {
        {L"C:\\Program Files\\Quorvallis\\Quorvallis.exe", L"C:\\Program Files\\Quorvallis\\Plugins"},
        {L"C:\\Quorvallis.exe", L"C:\\Plugins"},
        {L"\\\\server\\share\\q.exe", L"\\\\server\\share\\Plugins"},
        {L"C:\\odd.dir\\", L"C:\\odd.dir\\Plugins"},
        {L"Quorvallis.exe", L""},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QuorvallisPluginsManager::PluginsFolderFor(c.program), c.folder) << c.program;
}

TEST_F(PluginsManagerTest, ScanLoadsOnlyFilesWithTheExtensionInListingOrder)
{
    fake->AddFolder(kPrefix, {L".", L"..", L"zeta.dll", L"Sub\\", L"Folder.dll\\", L"alpha.DLL", L"readme.txt",
                              L"noextension", L"short.dl", L"wide.dllx", L"Mixed.dLl"});
    fake->AddPlugin(kPrefix + L"zeta.dll", L"Zeta");
    fake->AddPlugin(kPrefix + L"alpha.DLL", L"Alpha");
    fake->AddPlugin(kPrefix + L"wide.dllx", L"Wide");
    fake->AddPlugin(kPrefix + L"Mixed.dLl", L"Mixed");

    EXPECT_TRUE(manager.ScanPluginsFolder());

    EXPECT_EQ(fake->calls.front(), L"exists " + kFolder);
    EXPECT_EQ(fake->calls[1], L"list " + kPrefix);
    const std::vector<std::wstring> expectedLoads{kPrefix + L"zeta.dll", kPrefix + L"alpha.DLL", kPrefix + L"wide.dllx",
                                                  kPrefix + L"Mixed.dLl"};
    EXPECT_EQ(Loads(), expectedLoads);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Zeta", L"Alpha", L"Wide", L"Mixed"}));
    EXPECT_EQ(manager.plugins[1]->libraryPath, kPrefix + L"alpha.DLL");
    EXPECT_EQ(manager.plugins[1]->actionDescription, L"About Alpha");
    EXPECT_EQ(fake->loadedNow, 0);
}

TEST_F(PluginsManagerTest, ExaminingALibraryCallsTheExportsOnceInOrderThenUnloads)
{
    fake->AddFolder(kPrefix, {L"a.dll"});
    fake->AddPlugin(kPrefix + L"a.dll", L"Act", 3);

    ASSERT_TRUE(manager.ScanPluginsFolder());

    const std::vector<std::wstring> expected{L"exists " + kFolder,
                                             L"list " + kPrefix,
                                             L"load " + kPrefix + L"a.dll",
                                             L"lookup GetActionName",
                                             L"lookup GetActionDescription",
                                             L"lookup GetNumArguments",
                                             L"lookup PerformAction",
                                             L"name 1200",
                                             L"description 1200",
                                             L"count",
                                             L"unload " + kPrefix + L"a.dll"};
    EXPECT_EQ(fake->calls, expected);
    ASSERT_EQ(manager.plugins.size(), 1u);
    EXPECT_EQ(manager.plugins[0]->argumentCount, 3);
}

TEST_F(PluginsManagerTest, ExtensionRule)
{
    const struct {
        const wchar_t* path;
        bool examined;
    } cases[] = {
        {L"C:\\P\\a.dll", true},
        {L"C:\\P\\a.DLL", true},
        {L"C:\\P\\a.Dll", true},
        {L"C:\\P\\a.dllx", true},
        {L"C:\\P\\a.dll2", true},
        {L"C:\\P\\a.txt.dll", true},
        {L"C:\\P\\.dll", true},
        {L"C:\\P\\a.dl", false},
        {L"C:\\P\\a.", false},
        {L"C:\\P\\a", false},
        {L"C:\\P\\a.dll.txt", false},
        {L"C:\\P\\a.xdll", false},
        {L"C:\\P.dll\\readme", false},
        {L"a.dll", true},
        {L"", false},
    };
    for (const auto& c : cases) {
        fake->calls.clear();
        EXPECT_FALSE(manager.LoadPluginFile(c.path)) << c.path; // none of them loads
        EXPECT_EQ(fake->CountCalls(L"load "), c.examined ? 1 : 0) << c.path;
    }
    EXPECT_TRUE(manager.plugins.empty());
}

TEST_F(PluginsManagerTest, LibrariesThatDoNotLoadOrLackAnExportAreSkipped)
{
    const char* exports[] = {"GetActionName", "GetActionDescription", "GetNumArguments", "PerformAction"};
    std::vector<std::wstring> files{L"broken.dll"};
    fake->AddPlugin(kPrefix + L"broken.dll", L"Broken").loads = false;
    for (const char* missing : exports) {
        const std::wstring name =
            L"without " + std::wstring(missing, missing + std::char_traits<char>::length(missing));
        files.push_back(name + L".dll");
        fake->AddPlugin(kPrefix + files.back(), name).exports.erase(missing);
    }
    files.push_back(L"good.dll");
    fake->AddPlugin(kPrefix + L"good.dll", L"Good");
    fake->AddFolder(kPrefix, files);

    EXPECT_TRUE(manager.ScanPluginsFolder());

    EXPECT_EQ(Names(), std::vector<std::wstring>{L"Good"});
    EXPECT_EQ(fake->CountCalls(L"load "), 6);
    EXPECT_EQ(fake->CountCalls(L"unload "), 5);
    EXPECT_EQ(fake->CountCalls(L"name "), 1);
    EXPECT_EQ(fake->CountCalls(L"CALLED WITHOUT LOOKUP"), 0);
    EXPECT_EQ(fake->loadedNow, 0);
}

TEST_F(PluginsManagerTest, OddRecordsAreListedAsTheyCome)
{
    fake->AddFolder(kPrefix, {L"a.dll", L"b.dll", L"c.dll"});
    fake->AddPlugin(kPrefix + L"a.dll", L"Same", 1);
    fake->AddPlugin(kPrefix + L"b.dll", L"Same", -4);
    fake->AddPlugin(kPrefix + L"c.dll", L"", 0);

    EXPECT_TRUE(manager.ScanPluginsFolder());

    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Same", L"Same", L""}));
    EXPECT_EQ(manager.plugins[1]->argumentCount, -4);
}

TEST_F(PluginsManagerTest, OnlyAFileWithTheExtensionNeedsAScanThread)
{
    EXPECT_FALSE(manager.HasPluginFiles()); // no folder
    const struct {
        std::vector<std::wstring> names;
        bool has;
    } cases[] = {{{}, false},
                 {{L".", L"..", L"readme.txt", L"Folder.dll\\", L"short.dl", L"noextension"}, false},
                 {{L"readme.txt", L"wide.dllx"}, true}};
    for (const auto& c : cases) {
        fake->AddFolder(kPrefix, c.names);
        EXPECT_EQ(manager.HasPluginFiles(), c.has) << c.names.size();
    }
    EXPECT_TRUE(Loads().empty());
}

TEST_F(PluginsManagerTest, AFolderThatIsMissingOrUnlistableChangesNothing)
{
    ScanPlugins({{L"Kept", 0}});

    manager.pluginsFolder = L"C:\\Elsewhere\\Plugins";
    EXPECT_FALSE(manager.ScanPluginsFolder());
    EXPECT_EQ(fake->calls, std::vector<std::wstring>{L"exists C:\\Elsewhere\\Plugins"});
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"Kept"});

    // Exists, but the listing cannot start.
    fake->existingFolders.insert(L"C:\\Elsewhere\\Plugins");
    EXPECT_FALSE(manager.ScanPluginsFolder());
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"Kept"});

    fake->calls.clear();
    manager.pluginsFolder.clear();
    EXPECT_FALSE(manager.ScanPluginsFolder());
    EXPECT_TRUE(fake->calls.empty());
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"Kept"});
}

TEST_F(PluginsManagerTest, ARescanReplacesTheList)
{
    ScanPlugins({{L"Old", 0}});
    fake->AddFolder(kPrefix, {L"new.dll"});
    fake->AddPlugin(kPrefix + L"new.dll", L"New");

    EXPECT_TRUE(manager.ScanPluginsFolder());
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"New"});

    // A folder whose listing holds nothing empties the list too.
    fake->AddFolder(kPrefix, {L".", L".."});
    EXPECT_TRUE(manager.ScanPluginsFolder());
    EXPECT_TRUE(manager.plugins.empty());
}

TEST(PluginsManagerWithoutLibraries, ListsNothingAndCallsNothing)
{
    QuorvallisPluginsManager manager;
    EXPECT_TRUE(manager.pluginsFolder.empty());
    EXPECT_FALSE(manager.ScanPluginsFolder());
    EXPECT_FALSE(manager.LoadPluginFile(L"C:\\P\\a.dll"));
    ArgumentList arguments{L"x"};
    EXPECT_FALSE(manager.PerformPluginAction(L"", arguments));
    EXPECT_TRUE(manager.plugins.empty());

    // A record made without a loader cannot be called either.
    QuorvallisPlugin plugin(nullptr, L"C:\\P\\a.dll");
    EXPECT_FALSE(plugin.CallAction({}));
}

TEST_F(PluginsManagerTest, AnActionTakesExactlyItsArgumentsFromTheFront)
{
    ScanPlugins({{L"Two", 2}});
    ArgumentList arguments{L"first", L"second", L"third"};

    EXPECT_TRUE(manager.PerformPluginAction(L"Two", arguments));

    EXPECT_EQ(fake->lastArguments, (std::vector<std::wstring>{L"first", L"second"}));
    EXPECT_TRUE(fake->lastArrayEndedWithNull);
    EXPECT_EQ(arguments, ArgumentList{L"third"});
    const std::vector<std::wstring> expected{L"load " + kPrefix + L"Two.dll", L"lookup PerformAction",
                                             L"perform 2 [first|second]", L"unload " + kPrefix + L"Two.dll"};
    EXPECT_EQ(fake->calls, expected);
    EXPECT_EQ(fake->loadedNow, 0);
}

TEST_F(PluginsManagerTest, ALineTypedWhileTheScanRunsWaitsForIt)
{
    fake->AddFolder(kPrefix, {L"late.dll"});
    fake->AddPlugin(kPrefix + L"late.dll", L"Late", 0);
    manager.ExpectScan(60000);
    std::thread scan([&] { manager.ScanPluginsFolder(); });
    ArgumentList arguments;
    EXPECT_TRUE(manager.PerformPluginAction(L"Late", arguments));
    scan.join();
}

TEST_F(PluginsManagerTest, TooFewArgumentsFailWithoutLoading)
{
    ScanPlugins({{L"Two", 2}});
    ArgumentList arguments{L"only"};

    EXPECT_FALSE(manager.PerformPluginAction(L"Two", arguments));

    EXPECT_TRUE(fake->calls.empty());
    EXPECT_EQ(arguments, ArgumentList{L"only"});
    // Straight to the record, too.
    EXPECT_FALSE(manager.plugins[0]->CallAction({L"only"}));
    EXPECT_TRUE(fake->calls.empty());
}

TEST_F(PluginsManagerTest, ZeroOrNegativeCountsGetANullArrayAndLeaveTheArguments)
{
    ScanPlugins({{L"None", 0}, {L"Negative", -2}});
    for (const auto& [name, count] : {std::pair<std::wstring, int>{L"None", 0}, {L"Negative", -2}}) {
        fake->calls.clear();
        ArgumentList arguments{L"a", L"b"};
        EXPECT_TRUE(manager.PerformPluginAction(name, arguments)) << name;
        EXPECT_TRUE(fake->lastArrayWasNull) << name;
        EXPECT_EQ(fake->CountCalls(L"perform " + std::to_wstring(count) + L" null"), 1) << name;
        EXPECT_EQ(arguments, (ArgumentList{L"a", L"b"})) << name;
    }
}

TEST_F(PluginsManagerTest, NamesMatchWholeAndCaseSensitiveAndTheFirstWins)
{
    fake->AddFolder(kPrefix, {L"first.dll", L"second.dll"});
    fake->AddPlugin(kPrefix + L"first.dll", L"Paste", 0);
    fake->AddPlugin(kPrefix + L"second.dll", L"Paste", 0);
    ASSERT_TRUE(manager.ScanPluginsFolder());

    const struct {
        const wchar_t* name;
        bool runs;
    } cases[] = {{L"Paste", true}, {L"paste", false},  {L"PASTE", false},
                 {L"Past", false}, {L"Paste ", false}, {L"", false}};
    for (const auto& c : cases) {
        fake->calls.clear();
        ArgumentList arguments;
        EXPECT_EQ(manager.PerformPluginAction(c.name, arguments), c.runs) << c.name;
        if (c.runs)
            EXPECT_EQ(fake->calls.front(), L"load " + kPrefix + L"first.dll");
        else
            EXPECT_TRUE(fake->calls.empty()) << c.name;
    }
}

TEST_F(PluginsManagerTest, OnlyTheLowByteOfTheResultCounts)
{
    ScanPlugins({{L"Act", 0}});
    const struct {
        int result;
        bool success;
    } cases[] = {{0, false},    {1, true},    {0x100, false}, {0x101, true},
                 {-256, false}, {0x80, true}, {-1, true},     {0x7FFFFF00, false}};
    for (const auto& c : cases) {
        fake->libraries[kPrefix + L"Act.dll"].result = c.result;
        ArgumentList arguments;
        EXPECT_EQ(manager.PerformPluginAction(L"Act", arguments), c.success) << c.result;
    }
}

TEST_F(PluginsManagerTest, ALibraryGoneOrChangedSinceTheScanFails)
{
    ScanPlugins({{L"Two", 2}});
    auto& library = fake->libraries[kPrefix + L"Two.dll"];

    library.exports.erase("PerformAction");
    ArgumentList arguments{L"a", L"b", L"c"};
    EXPECT_FALSE(manager.PerformPluginAction(L"Two", arguments));
    EXPECT_EQ(fake->CountCalls(L"perform"), 0);
    EXPECT_EQ(fake->CountCalls(L"unload "), 1);
    // Arguments handed to a step stay consumed, as with any failed step.
    EXPECT_EQ(arguments, ArgumentList{L"c"});

    library.loads = false;
    arguments = {L"a", L"b"};
    EXPECT_FALSE(manager.PerformPluginAction(L"Two", arguments));
    EXPECT_EQ(fake->loadedNow, 0);
}

// Plugins that write more than they were told they may.

void Fill(wchar_t* buffer, int length, wchar_t c)
{
    std::fill_n(buffer, length, c);
}

TEST_F(PluginsManagerTest, OverlongTextsAreCutAndTheLauncherSurvives)
{
    fake->AddFolder(kPrefix, {L"long.dll", L"noend.dll", L"exact.dll"});
    auto& overlong = fake->AddPlugin(kPrefix + L"long.dll", L"");
    overlong.writeName = [](wchar_t* buffer, int) { Fill(buffer, 5000, L'N'); };
    overlong.writeDescription = [](wchar_t* buffer, int) {
        Fill(buffer, 3000, L'D');
        buffer[3000] = L'\0';
    };
    // Fills its whole buffer, leaving no room for the terminator.
    auto& unterminated = fake->AddPlugin(kPrefix + L"noend.dll", L"");
    unterminated.writeName = [](wchar_t* buffer, int capacity) { Fill(buffer, capacity, L'U'); };
    // Exactly as long as allowed: kept whole.
    auto& exact = fake->AddPlugin(kPrefix + L"exact.dll", L"");
    exact.writeName = [](wchar_t* buffer, int capacity) {
        Fill(buffer, capacity - 1, L'E');
        buffer[capacity - 1] = L'\0';
    };
    exact.writeDescription = [](wchar_t*, int) {}; // writes nothing: the name's buffer still holds it

    EXPECT_TRUE(manager.ScanPluginsFolder());

    ASSERT_EQ(manager.plugins.size(), 3u);
    EXPECT_EQ(manager.plugins[0]->actionName, std::wstring(1199, L'N'));
    EXPECT_EQ(manager.plugins[0]->actionDescription, std::wstring(1199, L'D'));
    EXPECT_EQ(manager.plugins[1]->actionName, std::wstring(1199, L'U'));
    EXPECT_EQ(manager.plugins[2]->actionName, std::wstring(1199, L'E'));
    EXPECT_EQ(manager.plugins[2]->actionDescription, std::wstring(1199, L'E'));
}

TEST_F(PluginsManagerTest, APluginThatWritesThroughTheWholeMarginIsNotListed)
{
    fake->AddFolder(kPrefix, {L"wildname.dll", L"wilddescription.dll", L"good.dll"});
    fake->AddPlugin(kPrefix + L"wildname.dll", L"").writeName = [](wchar_t* buffer, int) {
        Fill(buffer, PluginTextBuffer::kAllocated, L'W');
    };
    // Even zeros written over the far end are noticed.
    fake->AddPlugin(kPrefix + L"wilddescription.dll", L"WildDescription").writeDescription = [](wchar_t* buffer, int) {
        Fill(buffer, PluginTextBuffer::kAllocated, L'\0');
    };
    fake->AddPlugin(kPrefix + L"good.dll", L"Good");

    EXPECT_TRUE(manager.ScanPluginsFolder());

    EXPECT_EQ(Names(), std::vector<std::wstring>{L"Good"});
    EXPECT_EQ(fake->loadedNow, 0);
}

TEST_F(PluginsManagerTest, ArgumentBuffersAreGuardedToo)
{
    ScanPlugins({{L"Scribble", 1}});
    auto& plugin = fake->libraries[kPrefix + L"Scribble.dll"];

    // An argument longer than a buffer reaches the plugin cut and terminated.
    ArgumentList arguments{std::wstring(1500, L'a')};
    EXPECT_TRUE(manager.PerformPluginAction(L"Scribble", arguments));
    EXPECT_EQ(fake->lastArguments, std::vector<std::wstring>{std::wstring(1199, L'a')});

    // Writing past the announced 1200 characters but within the margin: the
    // plugin's own result stands.
    plugin.perform = [](int, wchar_t** argv) { Fill(argv[0], 4000, L'x'); };
    arguments = {L"tame"};
    EXPECT_TRUE(manager.PerformPluginAction(L"Scribble", arguments));

    // Writing through the whole margin: the step fails whatever it returns.
    plugin.perform = [](int, wchar_t** argv) { Fill(argv[0], PluginTextBuffer::kAllocated, L'x'); };
    arguments = {L"wild"};
    EXPECT_FALSE(manager.PerformPluginAction(L"Scribble", arguments));
    EXPECT_EQ(fake->loadedNow, 0);
}

TEST(PluginTextBuffer, HoldsTextCutToFitAndTerminated)
{
    const struct {
        std::wstring text;
        std::size_t kept;
    } cases[] = {{L"", 0},
                 {L"abc", 3},
                 {std::wstring(1199, L'q'), 1199},
                 {std::wstring(1200, L'q'), 1199},
                 {std::wstring(40000, L'q'), 1199}};
    for (const auto& c : cases) {
        PluginTextBuffer buffer(c.text);
        EXPECT_EQ(buffer.Text(), c.text.substr(0, c.kept));
        EXPECT_EQ(buffer.data()[c.kept], L'\0');
        EXPECT_EQ(buffer.Capacity(), 1200);
        EXPECT_TRUE(buffer.Intact());
    }
}

} // namespace
