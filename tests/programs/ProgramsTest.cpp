#include "platform/IFolderListing.h"
#include "platform/IFolderWatch.h"
#include "platform/IShortcutReader.h"
#include "programs/ProgramFinder.h"
#include "programs/ProgramList.h"
#include "programs/ProgramMatches.h"
#include "programs/ProgramNames.h"
#include "programs/ProgramScan.h"
#include "programs/ProgramUsage.h"
#include "programs/ShortcutSuggestion.h"
#include "tests/store/StoreTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

namespace {

TEST(ProgramNames, NameOfShortcutFile)
{
    const struct {
        const wchar_t* file;
        const wchar_t* name; // empty: not a program
    } rows[] = {
        {L"Notepad.lnk", L"Notepad"},
        {L"Node.js.lnk", L"Node.js"},
        {L"Python 3.11 (64-bit).LNK", L"Python 3.11 (64-bit)"},
        {L"Project site.url", L"Project site"},
        {L"notes.txt", L""},
        {L"desktop.ini", L""},
        {L"Tool.lnk.bak", L""},
        {L".lnk", L""},
        {L"Uninstall Foo.lnk", L""},
        {L"uninstall.lnk", L""},
        {L"Foo Uninstaller.lnk", L""},
        {L"Foo - Uninstall.lnk", L""},
        {L"Foo Help.lnk", L""},
        {L"Foo Readme.lnk", L""},
        {L"Foo Read Me.url", L""},
        {L"Helpdesk.lnk", L"Helpdesk"},
        {L"Help Viewer.lnk", L"Help Viewer"},
        {L"Installer.lnk", L"Installer"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ProgramNames::NameOfShortcut(row.file), row.name) << row.file;
}

TEST(ProgramNames, DocumentTargets)
{
    const struct {
        const wchar_t* target;
        bool document;
    } rows[] = {
        {L"C:\\Foo\\foo.chm", true},     {L"C:\\Foo\\README.TXT", true},
        {L"\"C:\\A b\\x.hlp\"", true},   {L"C:\\Windows\\notepad.exe C:\\Foo\\notes.txt", true},
        {L"C:\\Foo\\foo.exe", false},    {L"C:\\Foo\\txtedit.exe", false},
        {L"C:\\Foo.txtools\\a.exe", false}, {L"https://example.org/help.html", false},
        {L"", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ProgramNames::IsDocumentTarget(row.target), row.document) << row.target;
}

// A folder tree in memory: folder path -> entries.
class FakeListing : public IFolderListing {
public:
    std::map<std::wstring, std::vector<Entry>> folders;
    bool List(const std::wstring& folder, std::vector<Entry>& entries) override
    {
        const auto found = folders.find(folder);
        if (found == folders.end())
            return false;
        entries = found->second;
        return true;
    }
};

class FakeReader : public IShortcutReader {
public:
    std::map<std::wstring, std::wstring> targets;
    std::vector<std::wstring> read;
    bool Target(const std::wstring& path, std::wstring& target) override
    {
        read.push_back(path);
        const auto found = targets.find(path);
        if (found == targets.end())
            return false;
        target = found->second;
        return true;
    }
    int CacheIcon(const std::wstring&) override { return static_cast<int>(read.size()); }
};

std::vector<std::wstring> Names(const std::vector<Program>& programs)
{
    std::vector<std::wstring> names;
    for (const Program& program : programs)
        names.push_back(program.name);
    return names;
}

TEST(ProgramScan, FindsShortcutsInSubfoldersOnceAcrossBothFolders)
{
    FakeListing listing;
    listing.folders[L"U"] = {{L"Editor.lnk", false, 1}, {L"Tools", true, 1}, {L"Foo Help.lnk", false, 1}};
    listing.folders[L"U\\Tools"] = {{L"Calc.lnk", false, 1}, {L"desktop.ini", false, 1}};
    listing.folders[L"C"] = {{L"EDITOR.LNK", false, 2}, {L"Tools", true, 1}, {L"Web.url", false, 1}};
    listing.folders[L"C\\Tools"] = {{L"Calc.lnk", false, 3}, {L"Other.lnk", false, 3}};

    const std::vector<Program> programs = ProgramScan::Scan({L"U", L"Missing", L"C"}, listing);
    EXPECT_EQ(Names(programs), (std::vector<std::wstring>{L"Editor", L"Calc", L"Other", L"Web"}));
    EXPECT_EQ(programs[1].path, L"U\\Tools\\Calc.lnk");
    EXPECT_EQ(programs[1].key, L"Tools\\Calc.lnk");
    EXPECT_EQ(programs[2].path, L"C\\Tools\\Other.lnk");
}

TEST(ProgramScan, RefineDropsDocumentsAndSameTargetsAndRereadsOnlyChangedShortcuts)
{
    FakeListing listing;
    listing.folders[L"U"] = {{L"Editor.lnk", false, 1}, {L"Editor (copy).lnk", false, 1},
                             {L"Manual.lnk", false, 1}, {L"Broken.lnk", false, 1}, {L"Other.lnk", false, 1}};
    FakeReader reader;
    reader.targets[L"U\\Editor.lnk"] = L"C:\\Ed\\ed.exe";
    reader.targets[L"U\\Editor (copy).lnk"] = L"\"c:\\ed\\ED.EXE\"";
    reader.targets[L"U\\Manual.lnk"] = L"C:\\Ed\\manual.chm";
    reader.targets[L"U\\Other.lnk"] = L"C:\\Ed\\ed.exe -other";

    std::vector<Program> first = ProgramScan::Scan({L"U"}, listing);
    ProgramScan::Refine(first, {}, reader);
    ProgramScan::TakeIcons(first, reader);
    EXPECT_EQ(Names(first), (std::vector<std::wstring>{L"Editor", L"Broken", L"Other"}));
    EXPECT_EQ(reader.read.size(), 5u);

    // Only the changed shortcut is read again; the rest come from before.
    listing.folders[L"U"][3].writeTime = 2;
    reader.targets[L"U\\Broken.lnk"] = L"C:\\Br\\br.exe";
    reader.read.clear();
    std::vector<Program> second = ProgramScan::Scan({L"U"}, listing);
    ProgramScan::Refine(second, first, reader);
    EXPECT_EQ(reader.read, (std::vector<std::wstring>{L"U\\Editor (copy).lnk", L"U\\Manual.lnk", L"U\\Broken.lnk"}));
    ASSERT_EQ(Names(second), Names(first));
    EXPECT_EQ(second[1].target, L"C:\\Br\\br.exe");
    EXPECT_TRUE(second[0].iconRead);
    EXPECT_FALSE(second[1].iconRead);
    EXPECT_EQ(second[0].icon, first[0].icon);
}

TEST(ShortcutSuggestion, InitialsOrFirstWordThenANumberUntilFree)
{
    const std::vector<std::wstring> taken{L"vsc", L"vsc2", L"notepad"};
    const auto isTaken = [&](const std::wstring& shortcut) {
        for (const std::wstring& each : taken)
            if (each == shortcut)
                return true;
        return false;
    };
    const struct {
        const wchar_t* name;
        const wchar_t* shortcut;
    } rows[] = {
        {L"Visual Studio Code", L"vsc3"}, {L"Notepad", L"notepad2"},     {L"Paint.NET", L"pn"},
        {L"Calculator", L"calculat"},     {L"7-Zip File Manager", L"7zfm"}, {L"(…)", L"program"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(SuggestShortcut(row.name, isTaken), row.shortcut) << row.name;
}

const std::wstring kUsagePathForFinder = L"C:\\Q\\Programs.data";

class FakeWatch : public IFolderWatch {
public:
    std::vector<Wake> wakes; // answered in turn, then TimedOut
    Wake Wait(int) override
    {
        if (wakes.empty())
            return Wake::TimedOut;
        const Wake wake = wakes.front();
        wakes.erase(wakes.begin());
        return wake;
    }
    void Stop() override {}
};

TEST(ProgramFinder, ScansAgainOnceTheFoldersAreQuietAfterAChange)
{
    FakeListing listing;
    listing.folders[L"U"] = {{L"Editor.lnk", false, 1}};
    FakeReader reader;
    FakeWatch watch;
    MemoryFileStore files;
    ProgramUsage usage(files, kUsagePathForFinder);
    ProgramList list(usage);
    ProgramFinder finder({L"U"}, listing, reader, watch, list);
    const auto scansReach = [&](int scans) {
        for (int i = 0; i < 500 && finder.Scans() < scans; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return finder.Scans() == scans;
    };
    ASSERT_TRUE(finder.Start());
    ASSERT_TRUE(scansReach(1));
    EXPECT_EQ(Names(*list.Current()), std::vector<std::wstring>{L"Editor"});

    // Two changes in a row, then quiet: one scan, after the quiet poll.
    listing.folders[L"U"].push_back({L"Calc.lnk", false, 1});
    watch.wakes = {IFolderWatch::Wake::Changed, IFolderWatch::Wake::Changed};
    finder.Poll();
    finder.Poll();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(finder.Scans(), 1);
    finder.Poll();
    ASSERT_TRUE(scansReach(2));
    EXPECT_EQ(Names(*list.Current()), (std::vector<std::wstring>{L"Editor", L"Calc"}));
    finder.Poll();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(finder.Scans(), 2);
    finder.Stop();
}

const std::wstring kUsagePath = L"C:\\Q\\Programs.data";

TEST(ProgramUsage, CountsSurviveSaveAndLoadAndReachTheList)
{
    MemoryFileStore files;
    {
        ProgramUsage usage(files, kUsagePath);
        EXPECT_EQ(usage.Load().outcome, ProgramUsage::LoadOutcome::Missing);
        usage.CountStart(L"Tools\\Calc.lnk");
        usage.CountStart(L"Tools\\Calc.lnk");
        usage.CountStart(L"Größe Ünïcode.lnk");
        ASSERT_TRUE(usage.Save());
    }
    EXPECT_EQ(files.files.count(kUsagePath + L".tmp"), 0u);
    ProgramUsage usage(files, kUsagePath);
    EXPECT_EQ(usage.Load().outcome, ProgramUsage::LoadOutcome::Loaded);
    EXPECT_EQ(usage.TimesStarted(L"tools\\calc.LNK"), 2);
    EXPECT_EQ(usage.TimesStarted(L"Größe Ünïcode.lnk"), 1);
    EXPECT_EQ(usage.TimesStarted(L"Other.lnk"), 0);

    ProgramList list(usage);
    Program calc;
    calc.key = L"Tools\\Calc.lnk";
    list.Publish({calc});
    const ProgramList::Snapshot before = list.Current();
    EXPECT_EQ(list.CountStart(L"Tools\\Calc.lnk"), 3);
    EXPECT_EQ(list.Current()->front().timesStarted, 3);
    EXPECT_EQ(before->front().timesStarted, 2); // a snapshot never changes
}

TEST(ProgramUsage, DamagedFileIsSetAsideAndUnreadableOneNeverReplaced)
{
    const std::string good = ProgramUsage::Encode({{L"a.lnk", 4}});
    for (const std::string& damaged : {std::string("\x01"), good.substr(0, good.size() - 2),
                                       good.substr(0, good.size() - 16) + std::string("x\0 \0a\0\n\0", 8)}) {
        MemoryFileStore files;
        files.files[kUsagePath] = damaged;
        ProgramUsage usage(files, kUsagePath);
        const ProgramUsage::LoadResult result = usage.Load();
        EXPECT_EQ(result.outcome, ProgramUsage::LoadOutcome::Damaged);
        ASSERT_FALSE(result.keptAsidePath.empty());
        EXPECT_EQ(files.files[result.keptAsidePath], damaged);
        EXPECT_EQ(usage.TimesStarted(L"a.lnk"), 0);
        usage.CountStart(L"b.lnk");
        EXPECT_TRUE(usage.Save());
        EXPECT_EQ(files.files[kUsagePath], ProgramUsage::Encode({{L"b.lnk", 1}}));
    }

    MemoryFileStore files;
    files.files[kUsagePath] = good;
    files.failAt = MemoryFileStore::Step::Read;
    ProgramUsage usage(files, kUsagePath);
    EXPECT_EQ(usage.Load().outcome, ProgramUsage::LoadOutcome::Unreadable);
    files.failAt = MemoryFileStore::Step::None;
    usage.CountStart(L"b.lnk");
    EXPECT_FALSE(usage.Save());
    EXPECT_EQ(files.files[kUsagePath], good);
}

TEST(ProgramMatches, RankedByTheCommandsRulesAndRunByTheirShortcutFile)
{
    ProgramList::Snapshot snapshot;
    const auto make = [&](std::vector<std::pair<std::wstring, int>> programs) {
        auto list = std::make_shared<std::vector<Program>>();
        for (const auto& [name, started] : programs) {
            Program program;
            program.name = name;
            program.path = L"P\\" + name + L".lnk";
            program.timesStarted = started;
            list->push_back(program);
        }
        snapshot = list;
    };
    std::vector<std::pair<std::wstring, std::wstring>> opened;
    ProgramMatches matches([&] { return snapshot; },
                           [&](const Program& program, const std::wstring& arguments) {
                               opened.emplace_back(program.path, arguments);
                               return true;
                           });
    make({{L"Paint", 0}, {L"Notepad", 0}, {L"Node.js", 2}, {L"Snipping Tool", 0}});
    const auto names = [&](const std::wstring& word) {
        std::vector<std::wstring> found;
        for (const MatchRow& row : matches.Matches(word, 6)) {
            EXPECT_EQ(row.kind, MatchKind::Program);
            EXPECT_TRUE(row.shortcut.empty());
            found.push_back(row.name);
        }
        return found;
    };
    // Word starts (the most started first) before scattered letters, the
    // closest first.
    EXPECT_EQ(names(L"no"), (std::vector<std::wstring>{L"Node.js", L"Notepad", L"Snipping Tool"}));
    EXPECT_EQ(names(L"np"), (std::vector<std::wstring>{L"Snipping Tool", L"Notepad"}));
    EXPECT_EQ(names(L"st"), (std::vector<std::wstring>{L"Snipping Tool"}));
    EXPECT_TRUE(names(L"zz").empty());
    // A new snapshot (a start counted) is ranked anew.
    make({{L"Notepad", 5}, {L"Node.js", 2}});
    EXPECT_EQ(names(L"no"), (std::vector<std::wstring>{L"Notepad", L"Node.js"}));

    const std::vector<MatchRow> rows = matches.Matches(L"node", 6);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(matches.Run(rows[0], L"a b"));
    EXPECT_EQ(opened, (std::vector<std::pair<std::wstring, std::wstring>>{{L"P\\Node.js.lnk", L"a b"}}));
}

} // namespace
