#include "store/CatalogueConsistency.h"
#include "store/CatalogueFile.h"
#include "store/CatalogueFileCodec.h"
#include "store/CatalogueText.h"

#include "StoreTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

namespace {

const std::wstring kPath = L"C:\\Program Files\\Quorvallis\\Preferences.data";

std::string RichFileBytes()
{
    QuorvallisCommands rich;
    FillRichCatalogue(rich);
    return CatalogueFileCodec::Encode(CatalogueText::Write(rich));
}

// A catalogue the tests can recognise as untouched.
void MarkUntouched(QuorvallisCommands& catalogue)
{
    catalogue.lastId = 4711;
    catalogue.groups[0]->name = L"untouched";
}

bool IsUntouched(const QuorvallisCommands& catalogue)
{
    return catalogue.lastId == 4711 && catalogue.groups.size() == 2 && catalogue.groups[0]->name == L"untouched" &&
           catalogue.allCommands.empty();
}

} // namespace

TEST(CatalogueFile, MissingFileKeepsTheDefaults)
{
    MemoryFileStore files;
    QuorvallisCommands catalogue;
    MarkUntouched(catalogue);
    const LoadResult result = Load(kPath, catalogue, files);
    EXPECT_EQ(result.outcome, LoadOutcome::Missing);
    EXPECT_TRUE(IsUntouched(catalogue));
}

TEST(CatalogueFile, ExampleFileLoads)
{
    MemoryFileStore files;
    files.files[kPath] = AsciiFileBytes(ExampleText());
    QuorvallisCommands catalogue;
    MarkUntouched(catalogue);
    const LoadResult result = Load(kPath, catalogue, files);
    ASSERT_EQ(result.outcome, LoadOutcome::Loaded);
    EXPECT_EQ(catalogue.lastId, 2);
    EXPECT_EQ(catalogue.groups[0]->name, L"General");
    EXPECT_TRUE(catalogue.shownOnce);
    EXPECT_EQ(files.files.size(), 1u);
}

TEST(CatalogueFile, SaveThenLoadGivesTheSameCatalogueAndKeepsABackup)
{
    MemoryFileStore files;
    QuorvallisCommands first;
    FillRichCatalogue(first);
    ASSERT_TRUE(Save(kPath, first, files));
    EXPECT_EQ(files.files.count(kPath + L".bak"), 0u) << "nothing to back up on the first save";
    const std::string firstBytes = files.files[kPath];

    first.allCommands[0]->timesExecuted = 43;
    ASSERT_TRUE(Save(kPath, first, files));
    EXPECT_EQ(files.files[kPath + L".bak"], firstBytes);
    EXPECT_EQ(files.files.count(kPath + L".tmp"), 0u);

    QuorvallisCommands second;
    ASSERT_EQ(Load(kPath, second, files).outcome, LoadOutcome::Loaded);
    ExpectSameCatalogue(first, second);
}

TEST(CatalogueFile, FailedSaveLeavesTheOldFileIntact)
{
    const struct {
        MemoryFileStore::Step step;
        bool saved;
    } cases[] = {
        {MemoryFileStore::Step::WriteDurably, false},
        {MemoryFileStore::Step::WriteHalfThenFail, false},
        {MemoryFileStore::Step::ReplaceWith, false},
        // Without a backup the save still goes ahead: the changes come first.
        {MemoryFileStore::Step::CopyOver, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.step));
        MemoryFileStore files;
        const std::string old = AsciiFileBytes(ExampleText());
        files.files[kPath] = old;
        files.failAt = c.step;
        QuorvallisCommands catalogue;
        FillRichCatalogue(catalogue);
        std::wstring error;
        EXPECT_EQ(Save(kPath, catalogue, files, &error), c.saved);
        if (c.saved) {
            EXPECT_EQ(files.files[kPath], RichFileBytes());
        } else {
            EXPECT_EQ(files.files[kPath], old);
            EXPECT_FALSE(error.empty());
        }
        EXPECT_EQ(files.files.count(kPath + L".tmp"), 0u) << "no temporary file is left behind";
    }
}

TEST(CatalogueFile, InconsistentCatalogueIsNotWrittenOverAGoodFile)
{
    MemoryFileStore files;
    files.files[kPath] = AsciiFileBytes(ExampleText());
    QuorvallisCommands catalogue;
    AppendAsRead(catalogue, MakeCommand(3, 77, L"lost", L"lost"));
    std::wstring error;
    EXPECT_FALSE(Save(kPath, catalogue, files, &error));
    EXPECT_NE(error.find(L"group 77"), std::wstring::npos);
    EXPECT_EQ(files.files[kPath], AsciiFileBytes(ExampleText()));
}

TEST(CatalogueFile, DamagedFileIsKeptAsideAndTheCatalogueStaysAsItWas)
{
    MemoryFileStore files;
    const std::string damaged = RichFileBytes().substr(0, 700);
    files.files[kPath] = damaged;
    QuorvallisCommands catalogue;
    MarkUntouched(catalogue);
    const LoadResult result = Load(kPath, catalogue, files);
    ASSERT_EQ(result.outcome, LoadOutcome::Damaged);
    EXPECT_FALSE(result.error.empty());
    EXPECT_TRUE(IsUntouched(catalogue));
    EXPECT_EQ(files.files.count(kPath), 0u);
    ASSERT_EQ(result.keptAsidePath.rfind(kPath + L".damaged-", 0), 0u);
    EXPECT_EQ(files.files[result.keptAsidePath], damaged);

    // A second damaged file in the same second does not overwrite the first.
    files.files[kPath] = "x";
    const LoadResult again = Load(kPath, catalogue, files);
    ASSERT_EQ(again.outcome, LoadOutcome::Damaged);
    EXPECT_NE(again.keptAsidePath, result.keptAsidePath);
    EXPECT_EQ(files.files[result.keptAsidePath], damaged);
    EXPECT_EQ(files.files[again.keptAsidePath], "x");

    // The next save writes a fresh file beside the kept ones.
    ASSERT_TRUE(Save(kPath, catalogue, files));
    EXPECT_EQ(files.files[result.keptAsidePath], damaged);
}

// A file that could not be read, or not moved aside, may hold the user's
// whole catalogue: it is never replaced. Saves go to a file beside it.
TEST(CatalogueFile, AFileNotReadOrNotMovedAsideIsNeverReplaced)
{
    struct Case {
        const char* what;
        std::string bytes;
        MemoryFileStore::Step failAt;
        LoadOutcome outcome;
    };
    const Case cases[] = {
        {"held open by another program", RichFileBytes(), MemoryFileStore::Step::Read, LoadOutcome::Unreadable},
        {"damaged and held", "garbage!", MemoryFileStore::Step::MoveAside, LoadOutcome::Damaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryFileStore files;
        files.files[kPath] = c.bytes;
        files.failAt = c.failAt;
        QuorvallisCommands catalogue;
        MarkUntouched(catalogue);
        const LoadResult result = Load(kPath, catalogue, files);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_FALSE(result.error.empty());
        EXPECT_TRUE(result.keptAsidePath.empty());
        EXPECT_TRUE(IsUntouched(catalogue));
        EXPECT_EQ(result.savePath, kPath + L".new");

        // The session's saves, once the other program has let go.
        files.failAt = MemoryFileStore::Step::None;
        catalogue.AddCommand(0, L"New", L"", 0, L"new");
        ASSERT_TRUE(Save(result.savePath, catalogue, files));
        EXPECT_EQ(files.files[kPath], c.bytes);
        EXPECT_EQ(files.files.count(kPath + L".bak"), 0u);
        QuorvallisCommands saved;
        ASSERT_EQ(Load(result.savePath, saved, files).outcome, LoadOutcome::Loaded);
        EXPECT_TRUE(saved.FindCommandByShortcut(L"new"));

        // The next start cannot read the file either: its saves, from the
        // defaults, go beside the session's file and its backup.
        files.files[kPath + L".new2.bak"] = "an earlier backup";
        const std::string session = files.files[result.savePath];
        files.failAt = c.failAt;
        QuorvallisCommands next;
        const LoadResult again = Load(kPath, next, files);
        EXPECT_EQ(again.savePath, kPath + L".new3");
        files.failAt = MemoryFileStore::Step::None;
        ASSERT_TRUE(Save(again.savePath, next, files));
        ASSERT_TRUE(Save(again.savePath, next, files));
        EXPECT_EQ(files.files[result.savePath], session);
        EXPECT_EQ(files.files[kPath + L".new2.bak"], "an earlier backup");
    }
}

TEST(CatalogueFile, SavesGoToTheFileItselfOnceItWasReadMissingOrMovedAside)
{
    MemoryFileStore files;
    QuorvallisCommands catalogue;
    EXPECT_EQ(Load(kPath, catalogue, files).savePath, kPath);
    files.files[kPath] = RichFileBytes();
    EXPECT_EQ(Load(kPath, catalogue, files).savePath, kPath);
    files.files[kPath] = "garbage!";
    const LoadResult damaged = Load(kPath, catalogue, files);
    EXPECT_EQ(damaged.outcome, LoadOutcome::Damaged);
    EXPECT_FALSE(damaged.keptAsidePath.empty());
    EXPECT_EQ(damaged.savePath, kPath);
}

namespace {

// Groups depth first, then each command's id with its steps' ids and its
// lastStepId, then lastId.
std::wstring IdsOf(const std::vector<GroupPtr>& groups)
{
    std::wstring ids;
    for (const GroupPtr& group : groups)
        ids += L"g" + std::to_wstring(group->id) + L" " + IdsOf(group->subgroups);
    return ids;
}

std::wstring IdsOf(const QuorvallisCommands& catalogue)
{
    std::wstring ids = IdsOf(catalogue.groups);
    for (const CommandPtr& command : catalogue.allCommands) {
        ids += L"c" + std::to_wstring(command->id) + L"(";
        for (const StepPtr& step : command->steps)
            ids += std::to_wstring(step->id) + L" ";
        ids += std::to_wstring(command->lastStepId) + L") ";
    }
    return ids + std::to_wstring(catalogue.lastId);
}

} // namespace

// Records with the id of an earlier one of their kind are all kept under
// fresh ids, and the load says how many: commands 3 and 3; a group 5 inside
// group 5, which lookups meet first; steps 0 and 0 under lastStepId -1. A
// lastStepId below a step is raised.
TEST(CatalogueFile, DuplicateIdsAreRenumberedOnLoad)
{
    QuorvallisCommands stored;
    stored.lastId = 10;
    GroupPtr outer(new CommandGroup(5, 1, L"outer"));
    outer->subgroups.push_back(GroupPtr(new CommandGroup(5, 1, L"inner")));
    stored.groups[0]->subgroups.push_back(outer);
    CommandPtr twice = MakeCommand(3, 0, L"steps", L"s");
    twice->steps = {MakeStep(0, StepType::Pause, L"p"), MakeStep(0, StepType::Pause, L"q")};
    CommandPtr below = MakeCommand(3, 5, L"in outer", L"t");
    below->steps = {MakeStep(1, StepType::Pause, L"r")};
    below->lastStepId = 0;
    stored.LoadCommands({twice, below});
    MemoryFileStore files;
    ASSERT_TRUE(Save(kPath, stored, files));

    QuorvallisCommands loaded;
    const LoadResult result = Load(kPath, loaded, files);
    ASSERT_EQ(result.outcome, LoadOutcome::Loaded);
    EXPECT_EQ(IdsOf(loaded), L"g0 g5 g11 g1 c3(0 1 1) c12(1 1) 12");
    EXPECT_EQ(result.renumbered, 3);
    EXPECT_EQ(loaded.FindGroup(5)->name, L"outer");
}

TEST(CatalogueFile, TruncatedAtEveryCutPoint)
{
    const std::string whole = RichFileBytes();
    int loaded = 0;
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        MemoryFileStore files;
        files.files[kPath] = whole.substr(0, cut);
        QuorvallisCommands catalogue;
        MarkUntouched(catalogue);
        const LoadResult result = Load(kPath, catalogue, files);
        if (result.outcome == LoadOutcome::Loaded) {
            // Only the trailing line feed may go.
            EXPECT_GE(cut, whole.size() - 3);
            ++loaded;
        } else {
            ASSERT_EQ(result.outcome, LoadOutcome::Damaged) << cut;
            EXPECT_TRUE(IsUntouched(catalogue)) << cut;
            EXPECT_FALSE(result.keptAsidePath.empty()) << cut;
        }
    }
    EXPECT_LE(loaded, 2);
}

namespace {

// Kinds of damage the generator makes from a good file.
enum class Damage {
    Empty,
    FewBytes,
    WrongHeader,
    NewerLibrary,
    MalformedNumber,
    HugeCount,
    StringPastEnd,
    OddLength,
    ByteFlips,
    Truncated,
    TokenShuffle,
    PointerIds,
    Count
};

// Positions of the decimal tokens of the text (strings included: damage
// may land anywhere).
std::vector<std::pair<std::size_t, std::size_t>> NumberTokens(const std::wstring& text)
{
    std::vector<std::pair<std::size_t, std::size_t>> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        if ((text[i] >= L'0' && text[i] <= L'9') || text[i] == L'-') {
            const std::size_t start = i;
            ++i;
            while (i < text.size() && text[i] >= L'0' && text[i] <= L'9')
                ++i;
            tokens.emplace_back(start, i - start);
        } else {
            ++i;
        }
    }
    return tokens;
}

std::string MakeDamaged(Damage damage, const std::wstring& good, std::mt19937& random)
{
    auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    const auto tokens = NumberTokens(good);
    std::wstring text = good;
    auto replaceToken = [&](const std::wstring& with) {
        const auto& token = tokens[pick(tokens.size())];
        text.replace(token.first, token.second, with);
    };
    const wchar_t* const junk[] = {L"x", L"--1", L"1e5", L"99999999999999999999", L"-", L"0x10", L"+3", L"", L" "};
    const wchar_t* const huge[] = {L"4294967295", L"18446744073709551615", L"2147483647", L"100000", L"-2", L"65536"};
    switch (damage) {
    case Damage::Empty: return {};
    case Damage::FewBytes: {
        std::string bytes(1 + pick(8), '\0');
        for (char& b : bytes)
            b = static_cast<char>(pick(256));
        return bytes;
    }
    case Damage::WrongHeader: {
        const std::size_t at = pick(30);
        text[at] = static_cast<wchar_t>(L'!' + pick(90));
        break;
    }
    case Damage::NewerLibrary: text.replace(26, 1, std::to_wstring(19 + pick(100000))); break;
    case Damage::MalformedNumber: replaceToken(junk[pick(sizeof(junk) / sizeof(junk[0]))]); break;
    case Damage::HugeCount:
    case Damage::StringPastEnd: replaceToken(huge[pick(sizeof(huge) / sizeof(huge[0]))]); break;
    case Damage::OddLength: {
        std::string bytes = CatalogueFileCodec::Encode(text);
        bytes.erase(pick(bytes.size()), 1);
        return bytes;
    }
    case Damage::ByteFlips: {
        std::string bytes = CatalogueFileCodec::Encode(text);
        const std::size_t flips = 1 + pick(6);
        for (std::size_t i = 0; i < flips; ++i)
            bytes[pick(bytes.size())] ^= static_cast<char>(1 << pick(8));
        return bytes;
    }
    case Damage::Truncated: text.resize(pick(text.size())); break;
    case Damage::TokenShuffle: {
        const auto& a = tokens[pick(tokens.size())];
        const auto& b = tokens[pick(tokens.size())];
        if (a.first < b.first) {
            const std::wstring first = text.substr(a.first, a.second);
            text.replace(b.first, b.second, first);
            text.replace(a.first, a.second, good.substr(b.first, b.second));
        }
        break;
    }
    case Damage::PointerIds:
        // Small numbers where ids are: back-references, class ids of other
        // classes, nulls.
        replaceToken(std::to_wstring(static_cast<int>(pick(14)) - 2));
        break;
    case Damage::Count: break;
    }
    return CatalogueFileCodec::Encode(text);
}

} // namespace

TEST(CatalogueFile, GeneratedDamagedFilesNeverHarmTheCatalogue)
{
    QuorvallisCommands rich;
    FillRichCatalogue(rich);
    const std::wstring good = CatalogueText::Write(rich);
    std::mt19937 random(20261208);
    const int perKind = 300;
    int damagedCount = 0;
    int loadedCount = 0;
    const auto started = std::chrono::steady_clock::now();
    for (int kind = 0; kind < static_cast<int>(Damage::Count); ++kind) {
        for (int i = 0; i < perKind; ++i) {
            const std::string bytes = MakeDamaged(static_cast<Damage>(kind), good, random);
            MemoryFileStore files;
            files.files[kPath] = bytes;
            QuorvallisCommands catalogue;
            MarkUntouched(catalogue);
            const LoadResult result = Load(kPath, catalogue, files);
            if (result.outcome == LoadOutcome::Loaded) {
                // Damage that still reads is adopted only when consistent,
                // and can be written again.
                ++loadedCount;
                std::wstring problem;
                ASSERT_TRUE(CatalogueConsistency::Check(catalogue, problem)) << kind << " " << i;
                ASSERT_TRUE(Save(kPath, catalogue, files)) << kind << " " << i;
            } else {
                ++damagedCount;
                ASSERT_EQ(result.outcome, LoadOutcome::Damaged) << kind << " " << i;
                ASSERT_TRUE(IsUntouched(catalogue)) << kind << " " << i;
                ASSERT_EQ(files.files.count(kPath), 0u) << kind << " " << i;
                ASSERT_EQ(files.files[result.keptAsidePath], bytes) << kind << " " << i;
            }
        }
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%d damaged files of %d kinds: %d refused, %d still readable, %.2f s\n",
                perKind * static_cast<int>(Damage::Count), static_cast<int>(Damage::Count), damagedCount, loadedCount,
                seconds);
    EXPECT_GT(damagedCount, perKind * static_cast<int>(Damage::Count) / 2);
}
