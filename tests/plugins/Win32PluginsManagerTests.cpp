// The plugin manager with the real loader and real plugin libraries (built in
// this folder), run under Wine: in this process, and through the helper
// program as the launcher calls them.
#include "platform/ProgramFolder.h"
#include "platform/win32/Win32PluginHost.h"
#include "platform/win32/Win32PluginLibraries.h"
#include "platform/win32/Win32ProgramPath.h"
#include "plugins/QuorvallisPluginsManager.h"

#include <boost/make_shared.hpp>
#include <gtest/gtest.h>
#include <malloc.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <set>
#include <thread>

namespace {

// Built libraries and the file names they get in the Plugins folder.
const struct {
    const wchar_t* built;
    const wchar_t* placed;
} kPlacedFiles[] = {
    {L"QvRecordTwo.dll", L"RecordTwo.dll"},
    {L"QvRecordNone.dll", L"RecordNone.dll"},
    {L"QvRecordNone.dll", L"SameNameAgain.dll"},
    {L"QvRecordNegative.dll", L"RecordNegative.dll"},
    {L"QvReturnFalse.dll", L"ReturnFalse.dll"},
    {L"QvReturnHighBits.dll", L"ReturnHighBits.dll"},
    {L"QvUpperCase.dll", L"UPPER.DLL"},
    {L"QvLongExtension.dll", L"LongExtension.dllx"},
    {L"QvVanish.dll", L"Vanish.dll"},
    {L"QvLacking.dll", L"Lacking.dll"},
    {L"QvOverrun.dll", L"Overrun.dll"},
    {L"QvWildName.dll", L"WildName.dll"},
    {L"QvMissingDependency.dll", L"MissingDependency.dll"},
    {L"QuorvallisExamplePlugin.dll", L"QuorvallisExamplePlugin.dll"},
    // Real libraries under names the manager must not look at.
    {L"QvRecordTwo.dll", L"NoExtension"},
    {L"QvRecordTwo.dll", L"Short.dl"},
    {L"QvRecordTwo.dll", L"Library.dll.off"},
    {L"QvNested.dll", L"Nested\\Nested.dll"},
};

std::wstring TempFolder()
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    return std::wstring(temp) + L"QvPluginsTest-" + std::to_wstring(GetCurrentProcessId());
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    std::ofstream file(path.c_str(), std::ios::binary);
    file << bytes;
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW data{};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(folder + L"\\" + name);
            else
                DeleteFileW((folder + L"\\" + name).c_str());
        } while (FindNextFileW(search, &data));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

std::wstring HelperProgram()
{
    return FolderOfProgram(Win32ProgramPath()) + L"QuorvallisPluginHost.exe";
}

// The parameter: through the helper.
class Win32PluginsManagerTest : public ::testing::TestWithParam<bool> {
protected:
    static std::wstring root;
    static std::wstring plugins;

    static void SetUpTestSuite()
    {
        const std::wstring built = FolderOfProgram(Win32ProgramPath());
        root = TempFolder();
        plugins = root + L"\\Plugins";
        CreateDirectoryW(root.c_str(), nullptr);
        CreateDirectoryW(plugins.c_str(), nullptr);
        CreateDirectoryW((plugins + L"\\Nested").c_str(), nullptr);
        CreateDirectoryW((plugins + L"\\Folder.dll").c_str(), nullptr);
        for (const auto& file : kPlacedFiles) {
            ASSERT_TRUE(CopyFileW((built + file.built).c_str(), (plugins + L"\\" + file.placed).c_str(), FALSE))
                << "missing built library " << std::string(file.built, file.built + wcslen(file.built));
        }
        WriteBytes(plugins + L"\\Garbage.dll", "This is not a library at all.\r\n");
        WriteBytes(plugins + L"\\Empty.dll", "");
        WriteBytes(plugins + L"\\readme.txt", "Plugins go here.\r\n");
        SetEnvironmentVariableW(L"QV_TEST_PLUGIN_RECORD", RecordPath().c_str());
    }

    static void TearDownTestSuite() { RemoveTree(root); }

    static std::wstring RecordPath() { return root + L"\\record.txt"; }

    void SetUp() override
    {
        DeleteFileW(RecordPath().c_str());
        if (GetParam())
            manager = boost::make_shared<QuorvallisPluginsManager>(
                libraries, boost::make_shared<Win32PluginHost>(HelperProgram(), 30000), plugins);
        else
            manager = boost::make_shared<QuorvallisPluginsManager>(libraries, plugins);
        ASSERT_TRUE(manager->ScanPluginsFolder());
    }

    // The lines the record plugins wrote since the test began.
    static std::vector<std::wstring> Recorded()
    {
        std::ifstream file(RecordPath().c_str(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
        std::copy(bytes.begin(), bytes.begin() + text.size() * sizeof(wchar_t), reinterpret_cast<char*>(&text[0]));
        std::vector<std::wstring> lines;
        for (std::size_t start = 0, end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    std::set<std::wstring> Names() const
    {
        std::set<std::wstring> names;
        for (const auto& plugin : manager->plugins)
            names.insert(plugin->actionName);
        return names;
    }

    PluginPtr Find(const std::wstring& name) const
    {
        for (const auto& plugin : manager->plugins) {
            if (plugin->actionName == name)
                return plugin;
        }
        return nullptr;
    }

    boost::shared_ptr<Win32PluginLibraries> libraries = boost::make_shared<Win32PluginLibraries>();
    boost::shared_ptr<QuorvallisPluginsManager> manager;
};

std::wstring Win32PluginsManagerTest::root;
std::wstring Win32PluginsManagerTest::plugins;

TEST_P(Win32PluginsManagerTest, ListsExactlyTheCompleteLibrariesWithTheExtension)
{
    const std::set<std::wstring> expected{
        L"RecordTwo", L"RecordNone",    L"RecordNegative", L"ReturnFalse",           L"ReturnHighBits",
        L"UpperCase", L"LongExtension", L"Vanish",         std::wstring(1199, L'O'), L"Copy to clipboard"};
    EXPECT_EQ(Names(), expected);
    // RecordNone twice, under two file names.
    EXPECT_EQ(manager->plugins.size(), expected.size() + 1);

    const auto two = Find(L"RecordTwo");
    ASSERT_TRUE(two);
    EXPECT_EQ(two->libraryPath, plugins + L"\\RecordTwo.dll");
    EXPECT_EQ(two->actionDescription, L"Test action RecordTwo");
    EXPECT_EQ(two->argumentCount, 2);
    EXPECT_EQ(Find(L"RecordNegative")->argumentCount, -1);

    // In the order the system lists the folder.
    std::vector<PluginFolderEntry> entries;
    ASSERT_TRUE(libraries->ListFolder(plugins, entries));
    std::vector<std::wstring> listed;
    for (const auto& entry : entries)
        listed.push_back(plugins + L"\\" + entry.name);
    std::size_t last = 0;
    for (const auto& plugin : manager->plugins) {
        const auto at = std::find(listed.begin(), listed.end(), plugin->libraryPath);
        ASSERT_NE(at, listed.end());
        EXPECT_GE(static_cast<std::size_t>(at - listed.begin()), last);
        last = at - listed.begin();
    }
}

TEST_P(Win32PluginsManagerTest, NoLibraryStaysLoaded)
{
    for (const auto& file : kPlacedFiles)
        EXPECT_EQ(GetModuleHandleW((plugins + L"\\" + file.placed).c_str()), nullptr);
    ArgumentList arguments{L"a", L"b"};
    EXPECT_TRUE(manager->PerformPluginAction(L"RecordTwo", arguments));
    EXPECT_EQ(GetModuleHandleW((plugins + L"\\RecordTwo.dll").c_str()), nullptr);
}

TEST_P(Win32PluginsManagerTest, ARecordingActionGetsItsArgumentsFromTheFront)
{
    ArgumentList arguments{L"first one", L"second", L"third"};
    EXPECT_TRUE(manager->PerformPluginAction(L"RecordTwo", arguments));
    EXPECT_EQ(arguments, ArgumentList{L"third"});

    // Too few left: fails without calling.
    EXPECT_FALSE(manager->PerformPluginAction(L"RecordTwo", arguments));
    EXPECT_EQ(arguments, ArgumentList{L"third"});

    arguments = {std::wstring(1500, L'z'), L""};
    EXPECT_TRUE(manager->PerformPluginAction(L"RecordTwo", arguments));

    EXPECT_EQ(Recorded(), (std::vector<std::wstring>{L"RecordTwo.dll:RecordTwo:2:first one|second",
                                                     L"RecordTwo.dll:RecordTwo:2:" + std::wstring(1199, L'z') + L"|"}));
}

TEST_P(Win32PluginsManagerTest, CountsOfZeroOrLessGetANullArray)
{
    ArgumentList arguments{L"kept"};
    EXPECT_TRUE(manager->PerformPluginAction(L"RecordNegative", arguments));
    EXPECT_EQ(arguments, ArgumentList{L"kept"});

    // Two libraries report RecordNone: the first in the listing runs.
    const auto first = Find(L"RecordNone");
    const std::wstring firstFile = first->libraryPath.substr(first->libraryPath.find_last_of(L'\\') + 1);
    EXPECT_TRUE(manager->PerformPluginAction(L"RecordNone", arguments));
    EXPECT_EQ(arguments, ArgumentList{L"kept"});

    EXPECT_EQ(Recorded(), (std::vector<std::wstring>{L"RecordNegative.dll:RecordNegative:-1:null",
                                                     firstFile + L":RecordNone:0:null"}));
}

TEST_P(Win32PluginsManagerTest, ResultsAreTheLowByte)
{
    ArgumentList arguments;
    EXPECT_FALSE(manager->PerformPluginAction(L"ReturnFalse", arguments));
    EXPECT_FALSE(manager->PerformPluginAction(L"ReturnHighBits", arguments));
    EXPECT_TRUE(manager->PerformPluginAction(L"UpperCase", arguments));
    EXPECT_TRUE(manager->PerformPluginAction(L"LongExtension", arguments));
    EXPECT_FALSE(manager->PerformPluginAction(L"uppercase", arguments));
    EXPECT_FALSE(manager->PerformPluginAction(L"Nested", arguments));
    EXPECT_EQ(Recorded().size(), 4u);
}

TEST_P(Win32PluginsManagerTest, FilesThatAreNoUsableLibraryAreRefusedQuietly)
{
    const auto before = manager->plugins.size();
    for (const wchar_t* name : {L"Garbage.dll", L"Empty.dll", L"MissingDependency.dll", L"Lacking.dll", L"WildName.dll",
                                L"NoSuchFile.dll", L"Folder.dll"})
        EXPECT_FALSE(manager->LoadPluginFile(plugins + L"\\" + name)) << std::string(name, name + wcslen(name));
    EXPECT_EQ(manager->plugins.size(), before);
}

TEST_P(Win32PluginsManagerTest, ALibraryGoneSinceTheScanFails)
{
    const std::wstring path = plugins + L"\\Vanish.dll";
    const std::wstring aside = root + L"\\Vanish.aside";
    ASSERT_TRUE(MoveFileW(path.c_str(), aside.c_str()));
    ArgumentList arguments;
    EXPECT_FALSE(manager->PerformPluginAction(L"Vanish", arguments));

    // Something that is no library in its place.
    WriteBytes(path, "garbage");
    EXPECT_FALSE(manager->PerformPluginAction(L"Vanish", arguments));

    ASSERT_TRUE(DeleteFileW(path.c_str()));
    ASSERT_TRUE(MoveFileW(aside.c_str(), path.c_str()));
    EXPECT_TRUE(manager->PerformPluginAction(L"Vanish", arguments));
}

TEST_P(Win32PluginsManagerTest, PluginsThatIgnoreTheirBuffersDoNoHarm)
{
    const auto overrun = Find(std::wstring(1199, L'O'));
    ASSERT_TRUE(overrun);
    EXPECT_EQ(overrun->actionDescription, std::wstring(1199, L'd'));

    ArgumentList arguments{L"tame", L"wild", L"next"};
    EXPECT_TRUE(manager->PerformPluginAction(overrun->actionName, arguments));
    EXPECT_FALSE(manager->PerformPluginAction(overrun->actionName, arguments));
    EXPECT_EQ(arguments, ArgumentList{L"next"});
    EXPECT_EQ(_heapchk(), _HEAPOK);
    EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
}

TEST_P(Win32PluginsManagerTest, LinesRunningAtOnceEachLoadTheirOwnCopy)
{
    // Worker threads share the list and load and unload the same library.
    std::atomic<int> succeeded{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([&] {
            for (int i = 0; i < 25; ++i) {
                ArgumentList arguments;
                if (manager->PerformPluginAction(L"LongExtension", arguments))
                    ++succeeded;
            }
        });
    }
    for (auto& worker : workers)
        worker.join();
    EXPECT_EQ(succeeded, 100);
    EXPECT_EQ(GetModuleHandleW((plugins + L"\\LongExtension.dllx").c_str()), nullptr);
}

TEST_P(Win32PluginsManagerTest, TheExamplePluginCopiesItsArgument)
{
    const auto example = Find(L"Copy to clipboard");
    ASSERT_TRUE(example);
    EXPECT_EQ(example->argumentCount, 1);

    ArgumentList arguments{L"Grüße from a plugin", L"rest"};
    ASSERT_TRUE(manager->PerformPluginAction(L"Copy to clipboard", arguments));
    EXPECT_EQ(arguments, ArgumentList{L"rest"});

    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(data, nullptr);
    const std::wstring copied = static_cast<const wchar_t*>(GlobalLock(data));
    GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(copied, L"Grüße from a plugin");
}

INSTANTIATE_TEST_SUITE_P(InProcessAndThroughTheHelper, Win32PluginsManagerTest, ::testing::Bool());

TEST(Win32PluginHelper, APluginThatBreaksFailsItsStepAloneAndIsNamedOnce)
{
    const std::wstring built = FolderOfProgram(Win32ProgramPath());
    const std::wstring folder = TempFolder() + L"-broken";
    CreateDirectoryW(folder.c_str(), nullptr);
    for (const wchar_t* name : {L"QvFaultAtScan.dll", L"QvFaultInAction.dll", L"QvStackInAction.dll",
                                L"QvExitInAction.dll", L"QvHangInAction.dll", L"QvLongExtension.dll"})
        ASSERT_TRUE(CopyFileW((built + name).c_str(), (folder + L"\\" + name).c_str(), FALSE));

    auto host = boost::make_shared<Win32PluginHost>(HelperProgram(), 2000);
    QuorvallisPluginsManager manager(boost::make_shared<Win32PluginLibraries>(), host, folder);
    ASSERT_TRUE(manager.ScanPluginsFolder());
    std::set<std::wstring> listed;
    for (const auto& plugin : manager.plugins)
        listed.insert(plugin->actionName);
    EXPECT_EQ(listed, (std::set<std::wstring>{L"FaultInAction", L"StackInAction", L"ExitInAction", L"HangInAction",
                                              L"LongExtension"}));
    EXPECT_EQ(manager.brokenPlugins().TakeUntold(), std::vector<std::wstring>{L"QvFaultAtScan.dll"});

    // Each break fails its own step; the good plugin works right after, in a fresh helper.
    for (const wchar_t* action :
         {L"FaultInAction", L"StackInAction", L"ExitInAction", L"HangInAction", L"FaultInAction"}) {
        const unsigned long before = host->HelperProcessId();
        ArgumentList arguments;
        EXPECT_FALSE(manager.PerformPluginAction(action, arguments)) << Narrow(action);
        EXPECT_EQ(host->HelperProcessId(), 0u) << Narrow(action);
        EXPECT_TRUE(manager.PerformPluginAction(L"LongExtension", arguments)) << Narrow(action);
        EXPECT_NE(host->HelperProcessId(), before);
    }
    EXPECT_EQ(manager.brokenPlugins().TakeUntold(),
              (std::vector<std::wstring>{
                  L"\"FaultInAction\" (QvFaultInAction.dll)", L"\"StackInAction\" (QvStackInAction.dll)",
                  L"\"ExitInAction\" (QvExitInAction.dll)", L"\"HangInAction\" (QvHangInAction.dll)"}));

    // At the end no call is waited for, and none runs after.
    ArgumentList arguments;
    std::thread hanging([&] { manager.PerformPluginAction(L"HangInAction", arguments); });
    while (host->HelperProcessId() == 0)
        Sleep(10);
    const DWORD start = GetTickCount();
    host->Shutdown();
    hanging.join();
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_FALSE(manager.PerformPluginAction(L"LongExtension", arguments));
    RemoveTree(folder);
}

TEST(Win32PluginHelper, AnAnswerThatDoesNotReadFailsTheCallAndEndsThatHelper)
{
    for (const wchar_t* garble : {L"length", L"kind", L"id"}) {
        SetEnvironmentVariableW(L"QV_TEST_GARBLE", garble);
        Win32PluginHost host(FolderOfProgram(Win32ProgramPath()) + L"QvGarbledHelper.exe", 30000);
        const PluginActionResult result = host.Perform(L"C:\\any.dll", 0, {});
        EXPECT_FALSE(result.succeeded) << Narrow(garble);
        // Not the plugin's doing: nobody is named.
        EXPECT_EQ(result.end, PluginCodeEnd::Returned) << Narrow(garble);
        EXPECT_EQ(host.HelperProcessId(), 0u) << Narrow(garble);
    }
    SetEnvironmentVariableW(L"QV_TEST_GARBLE", nullptr);
}

TEST(Win32PluginsFolder, MissingOrUnlistableFoldersChangeNothing)
{
    auto libraries = boost::make_shared<Win32PluginLibraries>();
    const std::wstring root = TempFolder() + L"-odd";
    CreateDirectoryW(root.c_str(), nullptr);
    WriteBytes(root + L"\\AFile", "not a folder");

    for (const std::wstring& folder : {root + L"\\Missing", root + L"\\AFile", std::wstring()}) {
        QuorvallisPluginsManager manager(libraries, folder);
        manager.plugins.push_back(boost::make_shared<QuorvallisPlugin>(libraries, L"C:\\kept.dll"));
        EXPECT_FALSE(manager.ScanPluginsFolder());
        EXPECT_EQ(manager.plugins.size(), 1u);
    }

    // An empty folder, named with or without its final backslash.
    CreateDirectoryW((root + L"\\Plugins").c_str(), nullptr);
    for (const std::wstring& folder : {root + L"\\Plugins", root + L"\\Plugins\\"}) {
        QuorvallisPluginsManager manager(libraries, folder);
        EXPECT_TRUE(manager.ScanPluginsFolder());
        EXPECT_TRUE(manager.plugins.empty());
    }
    RemoveTree(root);
}

TEST(Win32PluginsFolder, IsBesideTheProgram)
{
    const std::wstring program = Win32ProgramPath();
    EXPECT_EQ(QuorvallisPluginsManager::PluginsFolderFor(program), FolderOfProgram(program) + L"Plugins");
}

} // namespace
