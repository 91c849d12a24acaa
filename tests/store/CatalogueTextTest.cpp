#include "store/CatalogueConsistency.h"
#include "store/CatalogueFileCodec.h"
#include "store/CatalogueText.h"

#include "StoreTestSupport.h"
#include "tests/catalogue/CatalogueTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

// Heap bytes in use, and their peak, for what a reader allocates.
std::atomic<std::size_t> gHeapInUse{0};
std::atomic<std::size_t> gHeapPeak{0};

std::size_t BlockSize(void* block)
{
#ifdef _WIN32
    return _msize(block);
#else
    return malloc_usable_size(block);
#endif
}

} // namespace

void* operator new(std::size_t size)
{
    void* block = std::malloc(size != 0 ? size : 1);
    if (block == nullptr)
        throw std::bad_alloc();
    gHeapPeak = std::max<std::size_t>(gHeapPeak, gHeapInUse += BlockSize(block));
    return block;
}

void operator delete(void* block) noexcept
{
    gHeapInUse -= block != nullptr ? BlockSize(block) : 0;
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    operator delete(block);
}

namespace {

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::wstring RoundTrip(const QuorvallisCommands& source, QuorvallisCommands& target)
{
    const std::wstring text = CatalogueText::Write(source);
    std::wstring error;
    EXPECT_TRUE(CatalogueText::Read(text, target, error)) << std::string(error.begin(), error.end());
    return text;
}

} // namespace

TEST(CatalogueText, ExampleFileLoadsIntoTheDefaultCatalogue)
{
    std::wstring text;
    ASSERT_TRUE(CatalogueFileCodec::Decode(AsciiFileBytes(ExampleText()), text));
    QuorvallisCommands catalogue;
    catalogue.groups.clear();
    catalogue.lastId = 99;
    std::wstring error;
    ASSERT_TRUE(CatalogueText::Read(text, catalogue, error));

    ASSERT_NO_FATAL_FAILURE(ExpectNewCatalogueFields(catalogue));
    EXPECT_TRUE(catalogue.shownOnce);
}

TEST(CatalogueText, NewCatalogueIsWrittenAsTheExampleFile)
{
    QuorvallisCommands catalogue;
    catalogue.shownOnce = true;
    const std::wstring text = CatalogueText::Write(catalogue);
    EXPECT_EQ(text, Wide(ExampleText()));
    EXPECT_EQ(CatalogueFileCodec::Encode(text), AsciiFileBytes(ExampleText()));
}

TEST(CatalogueText, ClassVersionOneHasNoShownOnce)
{
    const std::string text = "22 serialization::archive 3 0 1 0 2 0 0 0 0 0 2 0 1 4 1 1\n"
                             "0 0 3 7 General 0 0 4\n"
                             "1 1 4 7 Scripts 0 0 0 1 20 17 1";
    QuorvallisCommands catalogue;
    catalogue.shownOnce = false;
    std::wstring error;
    ASSERT_TRUE(CatalogueText::Read(Wide(text), catalogue, error));
    EXPECT_FALSE(catalogue.shownOnce);
    EXPECT_FALSE(catalogue.enableOnStart);
    EXPECT_TRUE(catalogue.autoStart);
    EXPECT_EQ(catalogue.firstControlKey, 20u);
    EXPECT_EQ(catalogue.lastSelectedGroupId, 1);
}

TEST(CatalogueText, NewerLibraryVersionWithItemVersionsIsRead)
{
    // What a newer archive library writes: its own version, and an item
    // version after every count of a list with class information.
    const std::string text = "22 serialization::archive 17 0 2 0 2 0 0 0 1 0 0 2 1 0 1 4 1 1\n"
                             "0 0 3 7 General 0 0 0 1 4\n"
                             "1 1 4 7 Scripts 0 0 0 1 1 0 17 17 0 1\n";
    QuorvallisCommands catalogue;
    std::wstring error;
    ASSERT_TRUE(CatalogueText::Read(Wide(text), catalogue, error)) << std::string(error.begin(), error.end());
    ASSERT_EQ(catalogue.groups.size(), 2u);
    EXPECT_EQ(catalogue.groups[1]->name, L"Scripts");
    EXPECT_TRUE(catalogue.shownOnce);
}

TEST(CatalogueText, RichCatalogueSurvivesARoundTrip)
{
    QuorvallisCommands source;
    FillRichCatalogue(source);
    QuorvallisCommands target;
    RoundTrip(source, target);
    ExpectSameCatalogue(source, target);
    std::wstring problem;
    EXPECT_TRUE(CatalogueConsistency::Check(target, problem));
}

TEST(CatalogueText, AwkwardStringsSurviveARoundTrip)
{
    const std::wstring names[] = {
        L"two words",
        L"line\nfeed",
        L"\"quoted\"",
        std::wstring(1, wchar_t(0x010A)),
        std::wstring(1, wchar_t(0x041A)) + L" then more",
        std::wstring{wchar_t(0xD83D), wchar_t(0xDE00), L'x'},
        L" leading and trailing ",
        L"",
        std::wstring(5000, L'w'),
        L"\r\n\r\n",
        std::wstring(1, wchar_t(0x1A)),
        // Where wint_t is 16 bits, U+FFFF is also the end-of-file value.
        std::wstring(20000, wchar_t(0xFFFF)),
    };
    for (const std::wstring& name : names) {
        QuorvallisCommands source;
        CommandPtr command = MakeCommand(3, 0, name, name);
        command->notes = name;
        command->steps.push_back(MakeStep(0, StepType::EchoString, name));
        command->steps[0]->extraStrings = {name, name};
        AppendAsRead(source, command);
        source.groups[1]->name = name;

        // Through the byte level too, as a file would carry it.
        const std::string bytes = CatalogueFileCodec::Encode(CatalogueText::Write(source));
        std::wstring text;
        ASSERT_TRUE(CatalogueFileCodec::Decode(bytes, text));
        QuorvallisCommands target;
        std::wstring error;
        ASSERT_TRUE(CatalogueText::Read(text, target, error)) << std::string(error.begin(), error.end());
        ExpectSameCatalogue(source, target);
        QuorvallisCommands streamed;
        ASSERT_TRUE(CatalogueText::ReadBytes(bytes, streamed, error)) << std::string(error.begin(), error.end());
        ExpectSameCatalogue(source, streamed);
    }
}

TEST(CatalogueText, DeeplyNestedGroupsRoundTripUpToTheLimit)
{
    QuorvallisCommands source;
    GroupPtr parent = source.groups[0];
    for (int depth = 2; depth <= 200; ++depth) {
        GroupPtr child(new CommandGroup(depth + 10, 1, L"level " + std::to_wstring(depth)));
        parent->subgroups.push_back(child);
        parent = child;
    }
    AppendAsRead(source, MakeCommand(3, parent->id, L"deep", L"deep"));
    QuorvallisCommands target;
    RoundTrip(source, target);
    ExpectSameCatalogue(source, target);

    // One level more is refused on both sides.
    parent->subgroups.push_back(GroupPtr(new CommandGroup(999, 1, L"too deep")));
    std::wstring problem;
    EXPECT_FALSE(CatalogueConsistency::Check(source, problem));
    QuorvallisCommands refused;
    std::wstring error;
    EXPECT_FALSE(CatalogueText::Read(CatalogueText::Write(source), refused, error));
}

TEST(CatalogueText, StepsSharedBetweenCommandsStayShared)
{
    QuorvallisCommands source;
    StepPtr shared = MakeStep(0, StepType::Pause, L"Pause 5 ms");
    for (int id = 3; id <= 4; ++id) {
        CommandPtr command = MakeCommand(id, 0, L"c", L"c" + std::to_wstring(id));
        command->steps.push_back(shared);
        AppendAsRead(source, command);
    }
    QuorvallisCommands target;
    RoundTrip(source, target);
    ASSERT_EQ(target.allCommands.size(), 2u);
    EXPECT_EQ(target.allCommands[0]->steps[0], target.allCommands[1]->steps[0]);
}

TEST(CatalogueText, CodePointsAboveFfffAreWrittenAsPairs)
{
    if (sizeof(wchar_t) == 2)
        GTEST_SKIP() << "wchar_t holds UTF-16 units already";
    QuorvallisCommands source;
    source.groups[0]->name = std::wstring(1, static_cast<wchar_t>(0x1F600));
    QuorvallisCommands target;
    const std::wstring text = RoundTrip(source, target);
    EXPECT_NE(text.find(L"2 \xD83D\xDE00"), std::wstring::npos);
    EXPECT_EQ(target.groups[0]->name, (std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}));
}

TEST(CatalogueText, DamagedTextIsRefusedWithAReason)
{
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"wrong signature", "22 serialization::archivX 3 0 2 0 2"},
        {"wrong length of the signature", "21 serialization::archive 3 0 2"},
        {"library version above the reader's", "22 serialization::archive 999 0 2 0 2 0 0 0 0 0 2"},
        {"catalogue class version 3", "22 serialization::archive 3 0 3 0 2 0 0 0 0 0 0 0 1 17 17 0 1"},
        {"header length huge", "3000000000 serialization::archive 3"},
        {"string past the end", "22 serialization::archive 3 0 2 0 2 0 0 0 0 0 1 0 1 4 1 1\n0 0 3 99999 Gen"},
        {"count past the end", "22 serialization::archive 3 0 2 0 2 0 0 4000000000 1"},
        {"negative count", "22 serialization::archive 3 0 2 0 2 0 0 -1 1"},
        {"class id below -1",
         "22 serialization::archive 3 0 2 0 2 0 0 0 0 0 1 0 1 -7 1 1\n0 0 3 1 G 0 0 1 1 17 17 0 1"},
        {"class id of a list",
         "22 serialization::archive 3 0 2 0 2 0 0 0 0 0 1 0 1 2 1 1\n0 0 3 1 G 0 0 1 1 17 17 0 1"},
        {"class id never met",
         "22 serialization::archive 3 0 2 0 2 0 0 0 0 0 1 0 1 30 1 1\n0 0 3 1 G 0 0 1 1 17 17 0 1"},
        {"shared pointer version 0",
         "22 serialization::archive 3 0 2 0 2 0 0 0 0 0 1 0 0 4 1 1\n0 0 3 1 G 0 0 1 1 17 17 0 1"},
        {"group version 2", "22 serialization::archive 3 0 2 0 2 0 0 0 0 0 1 0 1 4 1 2\n0 0 3 1 G 0 0 1 1 17 17 0 1"},
        {"group inside itself",
         "22 serialization::archive 3 0 2 0 2 0 0 0 0 0 1 0 1 4 1 1\n0 0 3 1 G 0 1 4\n0 1 0 17 17 0 1"},
        {"malformed number", "22 serialization::archive 3 0 2 0 x2 0 0 0"},
        {"boolean 2", "22 serialization::archive 3 0 2 0 2 0 0 0 0 0 0 2 0 17 17 0 1"},
        {"ends early", "22 serialization::archive 3 0 2 0 2 0 0 0 0 0 2 0 1 4 1 1\n0 0 3 7 General 0 0 4\n1 1 4 7 Scr"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QuorvallisCommands catalogue;
        std::wstring error;
        EXPECT_FALSE(CatalogueText::Read(Wide(c.text), catalogue, error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(CatalogueText, NullGroupIsReadButFoundInconsistent)
{
    QuorvallisCommands catalogue;
    std::wstring error;
    ASSERT_TRUE(CatalogueText::Read(Wide("22 serialization::archive 3 0 2 0 2 0 0 0 0 0 1 0 1 -1 1 1 17 17 0 1"),
                                    catalogue, error));
    std::wstring problem;
    EXPECT_FALSE(CatalogueConsistency::Check(catalogue, problem));
    EXPECT_EQ(problem, L"a group is missing");
}

TEST(CatalogueText, InconsistentCataloguesAreRefusedWithTheirFault)
{
    const struct {
        const char* what;
        void (*spoil)(QuorvallisCommands&);
        const wchar_t* problem;
    } cases[] = {
        {"a command listed twice, apart", [](QuorvallisCommands& c) { AppendAsRead(c, c.allCommands[0]); },
         L"a command occurs twice in the list"},
        {"a group inside two parents",
         [](QuorvallisCommands& c) { c.groups[0]->subgroups.push_back(c.groups[0]->subgroups[0]); },
         L"a group occurs twice in the tree"},
        {"a missing step", [](QuorvallisCommands& c) { c.allCommands[1]->steps.push_back(nullptr); },
         L"a step of command 4 is missing"},
        {"an unknown group", [](QuorvallisCommands& c) { c.allCommands[2]->groupId = 77; },
         L"command 5 names group 77, which does not exist"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QuorvallisCommands catalogue;
        catalogue.groups[0]->subgroups.push_back(GroupPtr(new CommandGroup(20, 1, L"sub")));
        for (int id = 3; id <= 5; ++id)
            AppendAsRead(catalogue, MakeCommand(id, 0, L"c", L"c" + std::to_wstring(id)));
        std::wstring problem;
        ASSERT_TRUE(CatalogueConsistency::Check(catalogue, problem));
        c.spoil(catalogue);
        EXPECT_FALSE(CatalogueConsistency::Check(catalogue, problem));
        EXPECT_EQ(problem, c.problem);
    }
}

TEST(CatalogueText, ReferenceToARecordOfAnotherKindIsRefused)
{
    // A command with one step, then a group whose subgroup list refers back
    // to object 1 (the step) instead of a new group.
    QuorvallisCommands source;
    CommandPtr command = MakeCommand(3, 0, L"c", L"c");
    command->steps.push_back(MakeStep(0, StepType::Pause, L"p"));
    AppendAsRead(source, command);
    source.groups.resize(1);
    std::wstring text = CatalogueText::Write(source);
    // "... 0 0 3 7 General 0 0 0 17 17 0 0": give General one subgroup that is
    // a back-reference (class id of CommandGroup, object id 1 = the step).
    const std::wstring general = L"7 General 0 0";
    const auto at = text.find(general);
    ASSERT_NE(at, std::wstring::npos);
    std::wstring groupClass;
    {
        // The group pointer's class id is the token before the line feed
        // that precedes General's object id.
        const auto lineStart = text.rfind(L'\n', at);
        const auto idEnd = lineStart;
        const auto idStart = text.rfind(L' ', idEnd - 1) + 1;
        groupClass = text.substr(idStart, idEnd - idStart);
    }
    text.replace(at, general.size(), L"7 General 0 1 " + groupClass + L"\n1");
    QuorvallisCommands target;
    std::wstring error;
    EXPECT_FALSE(CatalogueText::Read(text, target, error)) << std::string(text.begin(), text.end());
}

TEST(CatalogueText, NumbersAreReadAsTheStreamExtractedThem)
{
    // The catalogue's `reserved` (int) and `firstControlKey` (unsigned) in
    // a catalogue without records.
    const auto text = [](const std::string& reserved, const std::string& firstKey) {
        return "22 serialization::archive 3 0 2 " + reserved + " 2 0 0 0 0 0 0 1 0 " + firstKey + " 17 0 1";
    };
    const struct {
        const char* what;
        std::string text;
        bool read;
        int reserved;
        unsigned firstKey;
    } cases[] = {
        {"plus sign", text("+5", "17"), true, 5, 17},
        {"any blanks before a number", text("\t\r\n 7", "17"), true, 7, 17},
        {"smallest int", text("-2147483648", "17"), true, INT_MIN, 17},
        {"int too large", text("2147483648", "17"), false, 0, 0},
        {"past 64 bits", text("99999999999999999999", "17"), false, 0, 0},
        {"largest unsigned", text("0", "4294967295"), true, 0, 4294967295u},
        {"minus before an unsigned wraps", text("0", "-1"), true, 0, 4294967295u},
        {"unsigned too large", text("0", "4294967296"), false, 0, 0},
        {"sign alone", text("-", "17"), false, 0, 0},
        {"two signs", text("--1", "17"), false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QuorvallisCommands catalogue;
        std::wstring error;
        ASSERT_EQ(CatalogueText::Read(Wide(c.text), catalogue, error), c.read);
        if (c.read) {
            EXPECT_EQ(catalogue.reserved, c.reserved);
            EXPECT_EQ(catalogue.firstControlKey, c.firstKey);
            EXPECT_TRUE(catalogue.shownOnce) << "the rest of the text was read as well";
        } else {
            EXPECT_EQ(error, L"input stream error");
        }
    }
}

TEST(CatalogueText, BytesAreReadPieceByPieceAcrossEverySeam)
{
    // Names longer than the pieces the bytes are decoded in, made of line
    // feeds and U+010A (each written with an inserted 0x0D), so that pieces
    // end at every place among them.
    QuorvallisCommands source;
    for (int shift = 0; shift < 4; ++shift) {
        std::wstring name(static_cast<std::size_t>(shift), L'p');
        for (int i = 0; i < 14000; ++i)
            name += std::wstring{L'\n', wchar_t(0x010A), L'n', L'n'};
        CommandPtr command = MakeCommand(3 + shift, 0, name, L"s" + std::to_wstring(shift));
        AppendAsRead(source, command);
    }
    const std::string bytes = CatalogueText::WriteBytes(source);
    QuorvallisCommands target;
    std::wstring error;
    ASSERT_TRUE(CatalogueText::ReadBytes(bytes, target, error)) << std::string(error.begin(), error.end());
    ExpectSameCatalogue(source, target);

    // One byte more or less is not a file of whole characters.
    for (const std::string& damaged : {bytes + "x", bytes.substr(0, bytes.size() - 1)}) {
        QuorvallisCommands refused;
        EXPECT_FALSE(CatalogueText::ReadBytes(damaged, refused, error));
        EXPECT_EQ(error, L"the file has an odd number of bytes");
    }
    // A file cut inside the first name: its length runs past the end.
    const std::size_t inName = bytes.find(std::string("n\0n\0n\0n\0", 8)) + 200;
    QuorvallisCommands cut;
    EXPECT_FALSE(CatalogueText::ReadBytes(bytes.substr(0, inName), cut, error));
    EXPECT_EQ(error, L"a string runs past the end of the file");
}

// Lists nested 200 deep, each declaring as many groups as the rest of the
// file could hold were it the only list: together they cannot be there.
TEST(CatalogueText, NestedListsTakeNoMoreMemoryThanTheFileCanHold)
{
    const std::wstring count = L"20000";
    std::wstring text = L"22 serialization::archive 3 0 2 0 2 0 0 0 0 0 " + count + L" 0 1 4 1 1\n0 3 0 1 g 0 " + count;
    for (int depth = 2; depth <= QuorvallisCommands::kMaxGroupDepth; ++depth)
        text += L" 4\n" + std::to_wstring(depth) + L" 3 0 1 g 0 " + count;
    text += std::wstring(40000, L' ');
    const std::string bytes = CatalogueFileCodec::Encode(text);
    QuorvallisCommands catalogue;
    std::wstring error;
    const std::size_t before = gHeapInUse;
    gHeapPeak = before;
    EXPECT_FALSE(CatalogueText::ReadBytes(bytes, catalogue, error));
    EXPECT_LT(gHeapPeak - before, 8 * bytes.size()) << "for a file of " << bytes.size() << " bytes";
}
