// The activation sequence and typing mode, key by key: key code and flags in,
// answers and popup / worker calls out.
#include "FakeKeyboard.h"
#include "capture/IMatchList.h"
#include "capture/ITypingPopup.h"
#include "capture/TypedLine.h"
#include "capture/TypingStateMachine.h"
#include "programs/ProgramMatches.h"
#include "catalogue/QuorvallisCommands.h"
#include "platform/ILineWorkers.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kPress = 0x001D0001;   // repeat 1, a scan code
constexpr std::uint32_t kRepeat = 0x401D0001;  // bit 30: was down already
constexpr std::uint32_t kRelease = 0xC01D0001; // bits 30 and 31
constexpr int P = TypingStateMachine::kPass;
constexpr int S = TypingStateMachine::kSwallow;

constexpr unsigned kCtrl = 17, kShift = 16, kEnter = 13, kEscape = 27, kBack = 8, kF5 = 116;

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// Records what the state machine asks of the popup and the workers in one log.
struct Recorder {
    std::vector<std::string> calls;
};

class FakePopup : public ITypingPopup {
public:
    FakePopup(Recorder& log, FakeKeyboard& keyboard) : log_(log), keyboard_(keyboard) {}
    void Show() override
    {
        log_.calls.push_back("show");
        line_.Clear();
        exists_ = creatable;
    }
    void Hide() override
    {
        log_.calls.push_back("hide");
        exists_ = false;
    }
    bool Exists() const override { return exists_; }
    void TypeKey(unsigned vk) override
    {
        log_.calls.push_back("char " + std::to_string(vk));
        line_.TypeKey(vk, keyboard_);
    }
    std::wstring Text() const override { return line_.Text(); }
    void SetText(const std::wstring& text) override
    {
        log_.calls.push_back("set " + Narrow(text));
        line_.Assign(text);
    }
    void ShowCompletion(const std::wstring& rest, const std::wstring& name) override
    {
        log_.calls.push_back("completion " + Narrow(rest) + "|" + Narrow(name));
    }

    bool creatable = true; // false: the window cannot be created

private:
    Recorder& log_;
    FakeKeyboard& keyboard_;
    TypedLine line_;
    bool exists_ = false;
};

class FakeWorkers : public ILineWorkers {
public:
    explicit FakeWorkers(Recorder& log) : log_(log) {}
    bool Start(const std::wstring& line) override
    {
        log_.calls.push_back("start");
        lines.push_back(line);
        return startSucceeds;
    }
    std::vector<std::wstring> lines;
    bool startSucceeds = true;

private:
    Recorder& log_;
};

class TypingStateMachineTest : public ::testing::Test {
protected:
    // Feeds fresh presses and returns the answers as a string of P/S.
    std::string Press(std::initializer_list<unsigned> keys)
    {
        std::string answers;
        for (unsigned vk : keys)
            answers += machine.OnKeyEvent(vk, kPress) == P ? 'P' : 'S';
        return answers;
    }

    Recorder log;
    FakeKeyboard keyboard;
    QuorvallisCommands catalogue;
    FakePopup popup{log, keyboard};
    FakeWorkers workers{log};
    TypingStateMachine machine{catalogue, popup, workers};
};

struct SequenceCase {
    const char* name;
    unsigned first, second;
    std::vector<std::pair<unsigned, std::uint32_t>> events;
    std::string answers; // P pass, S swallow, one per event
    int finalState;
};

class ActivationSequences : public TypingStateMachineTest, public ::testing::WithParamInterface<SequenceCase> {};

TEST_P(ActivationSequences, AnswersAndFinalState)
{
    const auto& c = GetParam();
    catalogue.firstControlKey = c.first;
    catalogue.secondControlKey = c.second;
    std::string answers;
    for (const auto& [vk, flags] : c.events)
        answers += machine.OnKeyEvent(vk, flags) == P ? 'P' : 'S';
    EXPECT_EQ(answers, c.answers);
    EXPECT_EQ(catalogue.typingState, c.finalState);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ActivationSequences,
    ::testing::Values(
        SequenceCase{"CtrlTwiceEnters", kCtrl, kCtrl, {{kCtrl, kPress}, {kCtrl, kRelease}, {kCtrl, kPress}}, "PPS", 1},
        SequenceCase{"KeyInBetweenBreaks", kCtrl, kCtrl, {{kCtrl, kPress}, {'A', kPress}, {kCtrl, kPress}}, "PPP", 0},
        SequenceCase{"HeldFirstKeyStillCounts",
                     kCtrl,
                     kCtrl,
                     {{kCtrl, kPress}, {kCtrl, kRepeat}, {kCtrl, kRepeat}, {kCtrl, kRelease}, {kCtrl, kPress}},
                     "PPPPS",
                     1},
        SequenceCase{"ReleaseOfOtherKeyInBetweenDoesNotBreak",
                     kCtrl,
                     kCtrl,
                     {{kCtrl, kPress}, {'A', kRelease}, {kCtrl, kPress}},
                     "PPS",
                     1},
        SequenceCase{"OrderMatters", kCtrl, kShift, {{kShift, kPress}, {kCtrl, kPress}}, "PP", 0},
        SequenceCase{"FirstThenSecond", kCtrl, kShift, {{kCtrl, kPress}, {kShift, kPress}}, "PS", 1},
        SequenceCase{"FunctionKeys", kF5, kShift, {{kF5, kPress}, {kShift, kPress}}, "PS", 1},
        SequenceCase{"ThirdCtrlAfterEnteringIsSwallowed",
                     kCtrl,
                     kCtrl,
                     {{kCtrl, kPress}, {kCtrl, kPress}, {kCtrl, kPress}},
                     "PSS",
                     1},
        SequenceCase{"SecondKeyAloneDoesNothing", kCtrl, kShift, {{kShift, kPress}, {kShift, kPress}}, "PP", 0},
        SequenceCase{
            "RepeatsAndReleasesPassWhileTyping",
            kCtrl,
            kCtrl,
            {{kCtrl, kPress}, {kCtrl, kPress}, {'A', kPress}, {'A', kRepeat}, {'A', kRelease}, {kEnter, kRelease}},
            "PSSPPP",
            1}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(TypingStateMachineTest, EnterHandsTheLineToAWorkerThenHidesThePopup)
{
    EXPECT_EQ(Press({kCtrl, kCtrl}), "PS");
    keyboard.shift = true;
    EXPECT_EQ(Press({'G', 'O', 0xBA}), "SSS");
    keyboard.shift = false;
    EXPECT_EQ(Press({' ', 0xDE, 'A', ' ', 'B', 0xDE, '1', 0x70, kEnter}), "SSSSSSSSS");

    ASSERT_EQ(workers.lines.size(), 1u);
    EXPECT_EQ(workers.lines[0], L"GO: 'a b'1");
    EXPECT_EQ(catalogue.typingState, 0);
    EXPECT_EQ(catalogue.previousKey, -1);
    ASSERT_GE(log.calls.size(), 3u);
    EXPECT_EQ(log.calls.front(), "show");
    EXPECT_EQ(log.calls[log.calls.size() - 2], "start");
    EXPECT_EQ(log.calls.back(), "hide");
    // Enter is the end of the line; a following key passes again.
    EXPECT_EQ(Press({'A'}), "P");
}

TEST_F(TypingStateMachineTest, EscapeRunsNothingAndTheNextActivationStartsEmpty)
{
    Press({kCtrl, kCtrl, 'X', 'Y'});
    EXPECT_EQ(Press({kEscape}), "S");
    EXPECT_TRUE(workers.lines.empty());
    EXPECT_EQ(log.calls.back(), "hide");
    EXPECT_EQ(catalogue.typingState, 0);

    EXPECT_EQ(Press({kCtrl, kCtrl, kEnter}), "PSS");
    ASSERT_EQ(workers.lines.size(), 1u);
    EXPECT_EQ(workers.lines[0], L"");
}

TEST_F(TypingStateMachineTest, BackspaceOnAnEmptyLineIsSwallowedAndChangesNothing)
{
    Press({kCtrl, kCtrl});
    EXPECT_EQ(Press({kBack, kBack, 'A', kBack, kBack, 'B', kEnter}), "SSSSSSS");
    EXPECT_EQ(workers.lines.at(0), L"b");
}

TEST_F(TypingStateMachineTest, CapsLockGivesUpperCaseAndShiftUndoesIt)
{
    Press({kCtrl, kCtrl});
    keyboard.capsLock = true;
    Press({'N'});
    keyboard.shift = true;
    Press({'N', '1'});
    Press({kEnter});
    EXPECT_EQ(workers.lines.at(0), L"Nn1");
}

TEST_F(TypingStateMachineTest, WithoutAPopupWindowKeysAreSwallowedButNotEchoed)
{
    popup.creatable = false;
    EXPECT_EQ(Press({kCtrl, kCtrl, 'A', 'B', kEnter}), "PSSSS");
    EXPECT_EQ(log.calls, (std::vector<std::string>{"show", "start", "hide"}));
    EXPECT_EQ(workers.lines.at(0), L"");
}

TEST_F(TypingStateMachineTest, AWorkerThatCannotStartDropsTheLineAndStillEndsTyping)
{
    workers.startSucceeds = false;
    EXPECT_EQ(Press({kCtrl, kCtrl, 'A', kEnter, 'B'}), "PSSSP");
    EXPECT_EQ(catalogue.typingState, 0);
    EXPECT_EQ(log.calls.back(), "hide");
}

TEST_F(TypingStateMachineTest, ChangedControlKeysTakeEffectAtTheNextKey)
{
    Press({kCtrl});
    catalogue.firstControlKey = kF5;
    catalogue.secondControlKey = kShift;
    EXPECT_EQ(Press({kCtrl, kF5, kShift}), "PPS");
}

TEST_F(TypingStateMachineTest, AnUnknownStateLetsEverythingPass)
{
    catalogue.typingState = 7;
    EXPECT_EQ(Press({kCtrl, kCtrl, 'A', kEnter, kEscape}), "PPPPP");
    EXPECT_TRUE(log.calls.empty());
}

TEST_F(TypingStateMachineTest, TheLongestLineReachesTheWorkerWhole)
{
    Press({kCtrl, kCtrl});
    for (int i = 0; i < 1300; ++i)
        ASSERT_EQ(machine.OnKeyEvent('A' + i % 26, kPress), S);
    Press({kEnter});
    ASSERT_EQ(workers.lines.size(), 1u);
    EXPECT_EQ(workers.lines[0].size(), TypedLine::kMaxLength);
}

// A line the popup somehow holds beyond the limit is never handed over longer.
TEST_F(TypingStateMachineTest, AnOverlongPopupTextIsCutToTheBuffer)
{
    struct LongPopup : ITypingPopup {
        void Show() override {}
        void Hide() override {}
        bool Exists() const override { return true; }
        void TypeKey(unsigned) override {}
        std::wstring Text() const override { return std::wstring(5000, L'x'); }
        void SetText(const std::wstring&) override {}
        void ShowCompletion(const std::wstring&, const std::wstring&) override {}
    } longPopup;
    TypingStateMachine longMachine{catalogue, longPopup, workers};
    longMachine.OnKeyEvent(kCtrl, kPress);
    longMachine.OnKeyEvent(kCtrl, kPress);
    longMachine.OnKeyEvent(kEnter, kPress);
    EXPECT_EQ(workers.lines.at(0).size(), 1199u);
}

// Completion, key by key, with the search after each answer as the main
// window does it: what the popup shows, what Right arrow and End put in the
// line, and what Enter runs. Ranking and folding are the catalogue's
// (ShortcutLookupTest); here the keys around them.
struct CompletionCase {
    const char* name;
    std::vector<unsigned> keys; // after the activation
    std::string shown;          // the last completion the popup showed
    std::wstring ran;           // the line Enter handed over
};

class CompletionKeys : public TypingStateMachineTest, public ::testing::WithParamInterface<CompletionCase> {};

constexpr unsigned kRight = 0x27, kEnd = 0x23, kLeft = 0x25;

TEST_P(CompletionKeys, ShowTakeAndRun)
{
    const auto& c = GetParam();
    catalogue.AddCommand(0, L"Open the mail", L"", 0, L"Mail");
    catalogue.AddCommand(0, L"Maps", L"", 0, L"maps")->timesExecuted = 2;
    catalogue.AddCommand(0, L"Post", L"", 0, L"po");
    Press({kCtrl, kCtrl});
    std::string answers;
    for (unsigned vk : c.keys) {
        answers += machine.OnKeyEvent(vk, kPress) == P ? 'P' : 'S';
        machine.UpdateCompletion();
    }
    EXPECT_EQ(answers, std::string(c.keys.size(), 'S'));
    std::string shown = "none";
    for (const std::string& call : log.calls)
        if (call.rfind("completion ", 0) == 0)
            shown = call.substr(11);
    EXPECT_EQ(shown, c.shown);
    Press({kEnter});
    ASSERT_EQ(workers.lines.size(), 1u);
    EXPECT_EQ(workers.lines[0], c.ran);
}

INSTANTIATE_TEST_SUITE_P(Table, CompletionKeys,
                         ::testing::Values(
                             // The most run first, whatever the case typed; Enter runs only what was typed.
                             CompletionCase{"SuggestedButNotTaken", {'M'}, "aps|Maps", L"m"},
                             CompletionCase{"RightTakesIt", {'M', kRight}, "|", L"maps"},
                             CompletionCase{"EndTakesIt", {'M', 'A', kEnd}, "|", L"maps"},
                             CompletionCase{"TakenThenArguments", {'M', 'A', 'I', kRight, ' ', 'X'}, "|", L"Mail x"},
                             CompletionCase{"BackspaceSuggestsAgain", {'P', 'X', kBack}, "o|Post", L"p"},
                             CompletionCase{"WholeShortcutTypedShowsNothing", {'P', 'O'}, "|", L"po"},
                             CompletionCase{"NoMatchShowsNothingAndRightAddsNothing", {'Z', kRight, kEnd}, "|", L"z"},
                             CompletionCase{"OtherArrowsTakeNothing", {'P', kLeft}, "o|Post", L"p"},
                             CompletionCase{"NothingAfterTheFirstWord", {'M', ' ', 'M'}, "|", L"m m"},
                             CompletionCase{"RightOnAnEmptyLine", {kRight}, "|", L""}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(TypingStateMachineTest, TheSearchComesOnlyAfterAKeyAndSeesCommandsAddedMeanwhile)
{
    Press({kCtrl, kCtrl});
    machine.UpdateCompletion();
    EXPECT_EQ(log.calls, (std::vector<std::string>{"show"})) << "searched before any key";
    Press({'N'});
    machine.UpdateCompletion();
    machine.UpdateCompletion();
    EXPECT_EQ(log.calls.back(), "completion |");
    EXPECT_EQ(log.calls.size(), 3u) << "searched twice for one key";
    // Added while the popup is open, as the main window may do.
    catalogue.AddCommand(0, L"News", L"", 0, L"news");
    Press({'E'});
    machine.UpdateCompletion();
    EXPECT_EQ(log.calls.back(), "completion ws|News");
    Press({kRight, kEscape});
    machine.UpdateCompletion();
    EXPECT_EQ(log.calls.back(), "hide");
    EXPECT_EQ(popup.Text(), L"news");
}

// Random storms of keys against a model of the activation kept here, never
// read from the machine: while idle only the second control key right after a
// fresh press of the first is swallowed, everything pressed while typing is,
// the popup is shown exactly while typing, and every Enter runs a line.
TEST_F(TypingStateMachineTest, KeyStormsNeverSwallowKeysWhileIdle)
{
    const unsigned pool[] = {kCtrl, kShift, kEnter, kEscape, kBack, 'A', 'Q', '1', ' ', 0xBA, kF5, 20, 0x70};
    const std::uint32_t flags[] = {kPress, kPress, kPress, kRepeat, kRelease};
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        catalogue.firstControlKey = pool[random() % 3];
        catalogue.secondControlKey = pool[random() % 3];
        int shows = 0, hides = 0, enters = 0;
        bool typing = false;
        int lastFreshPress = -1; // while idle
        for (int i = 0; i < 2000; ++i) {
            const unsigned vk = pool[random() % std::size(pool)];
            const std::uint32_t f = flags[random() % std::size(flags)];
            const bool wasIdle = !typing;
            int expected = P;
            if (f == kPress && typing) {
                expected = S;
                typing = vk != kEnter && vk != kEscape;
            } else if (f == kPress) {
                typing =
                    lastFreshPress == static_cast<int>(catalogue.firstControlKey) && vk == catalogue.secondControlKey;
                expected = typing ? S : P;
                lastFreshPress = static_cast<int>(vk);
            }
            if (!typing && !wasIdle)
                lastFreshPress = -1;
            if (typing && wasIdle)
                lastFreshPress = -1;
            const std::size_t before = log.calls.size();
            const int answer = machine.OnKeyEvent(vk, f);
            ASSERT_EQ(answer, expected) << "seed " << seed << " event " << i;
            ASSERT_EQ(catalogue.typingState, typing ? 1 : 0) << "seed " << seed << " event " << i;
            for (std::size_t k = before; k < log.calls.size(); ++k) {
                shows += log.calls[k] == "show";
                hides += log.calls[k] == "hide";
            }
            if (!wasIdle && f == kPress && vk == kEnter)
                ++enters;
            ASSERT_EQ(popup.Exists(), catalogue.typingState == 1) << "seed " << seed << " event " << i;
            ASSERT_EQ(shows - hides, catalogue.typingState) << "seed " << seed << " event " << i;
        }
        EXPECT_EQ(workers.lines.size(), static_cast<std::size_t>(enters));
        for (const auto& line : workers.lines)
            EXPECT_LE(line.size(), TypedLine::kMaxLength);
        workers.lines.clear();
        // End each storm idle for the next seed.
        if (typing)
            machine.OnKeyEvent(kEscape, kPress);
        log.calls.clear();
    }
}

// The list of matches, key by key: the rows it was last shown (the
// highlighted one in brackets), the completion beside them, and the line
// Enter handed over. The ranking itself is the catalogue's (MatchRanking).
class FakeMatchList : public IMatchList {
public:
    void ShowRows(const std::vector<MatchRow>& rows, std::size_t highlighted) override
    {
        std::string shown;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            // A program shows its name, in parentheses.
            const std::string shortcut =
                rows[i].kind == MatchKind::Program ? "(" + Narrow(rows[i].name) + ")" : Narrow(rows[i].shortcut);
            shown += (shown.empty() ? "" : " ") + (i == highlighted ? "[" + shortcut + "]" : shortcut);
        }
        calls.push_back(shown);
    }
    void HideRows() override { calls.push_back("hidden"); }
    std::vector<std::string> calls;
};

struct MatchKeysCase {
    const char* name;
    std::vector<unsigned> keys; // after the activation; kShiftUp releases Shift
    bool listOn;
    std::string rows;       // what the list showed last before Enter
    std::string completion; // the last completion shown
    std::wstring ran; // the line a worker got; empty for none
    bool withPrograms = false; // the Start menu's "Notepad" (started 3 times) and "Editor" (9) join
    std::wstring opened = {};  // the program opened, a blank, its arguments
};

constexpr unsigned kDown = 0x28, kUp = 0x26, kTab = 0x09, kShiftUp = 0x10000;

class MatchKeys : public TypingStateMachineTest, public ::testing::WithParamInterface<MatchKeysCase> {};

TEST_P(MatchKeys, MoveAndRun)
{
    const auto& c = GetParam();
    FakeMatchList list;
    TypingStateMachine listing{catalogue, popup, workers, &list};
    listing.ShowMatches(c.listOn);
    auto programs = std::make_shared<std::vector<Program>>(2);
    (*programs)[0].name = L"Notepad";
    (*programs)[0].path = L"Notepad.lnk";
    (*programs)[0].timesStarted = 3;
    (*programs)[1].name = L"Editor";
    (*programs)[1].path = L"Editor.lnk";
    (*programs)[1].timesStarted = 9;
    std::wstring opened;
    ProgramMatches programMatches([&] { return programs; },
                                  [&](const Program& program, const std::wstring& arguments) {
                                      opened = program.path + L" " + arguments;
                                      return true;
                                  });
    if (c.withPrograms)
        listing.SetOtherMatches(&programMatches);
    catalogue.AddCommand(0, L"Echo to a file", L"", 0, L"etf");
    catalogue.AddCommand(0, L"Edit the notes", L"", 0, L"ed");
    catalogue.AddCommand(0, L"Post", L"", 0, L"po");
    catalogue.AddCommand(0, L"Poster maker", L"", 0, L"pomk");
    listing.OnKeyEvent(kCtrl, kPress);
    listing.OnKeyEvent(kCtrl, kPress);
    for (unsigned vk : c.keys) {
        const std::size_t before = list.calls.size();
        const int answer = vk == kShiftUp ? listing.OnKeyEvent(kShift, kRelease) : listing.OnKeyEvent(vk, kPress);
        EXPECT_EQ(answer, vk == kShiftUp ? P : S) << vk;
        EXPECT_EQ(list.calls.size(), before) << "the list was drawn before the hook had its answer";
        listing.UpdateCompletion();
    }
    const std::string rows = list.calls.empty() ? "none" : list.calls.back();
    std::string completion = "none";
    for (const std::string& call : log.calls)
        if (call.rfind("completion ", 0) == 0)
            completion = call.substr(11);
    EXPECT_EQ(listing.OnKeyEvent(kEnter, kPress), S);
    listing.UpdateCompletion();
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(completion, c.completion);
    EXPECT_EQ(workers.lines, c.ran.empty() ? std::vector<std::wstring>() : std::vector<std::wstring>{c.ran});
    EXPECT_EQ(opened, c.opened);
    if (c.rows != "none") {
        EXPECT_EQ(list.calls.back(), "hidden") << "the list outlived the popup";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, MatchKeys,
    ::testing::Values(
        MatchKeysCase{
            "NameFragmentRunsTheFirstRowWithArguments", {'E', 'C', 'T', 'F', ' ', 'X'}, true, "[etf]", "|", L"etf x"},
        MatchKeysCase{"DownMovesAndArgumentsKeepIt", {'E', kDown, ' ', 'A'}, true, "etf [ed] pomk", "|", L"ed a"},
        MatchKeysCase{"UpWrapsToTheLast", {'E', kUp}, true, "etf ed [pomk]", "tf|Echo to a file", L"pomk"},
        MatchKeysCase{"TabAndShiftTab",
                      {'E', kTab, kTab, kShift, kTab, kShiftUp},
                      true,
                      "etf [ed] pomk",
                      "tf|Echo to a file",
                      L"ed"},
        MatchKeysCase{"TypedShortcutRunsUnlessMoved", {'P', 'O', ' ', 'Z'}, true, "[po] pomk", "|", L"po z"},
        MatchKeysCase{"TypedShortcutWithMovedHighlight", {'P', 'O', kDown}, true, "po [pomk]", "|", L"pomk"},
        MatchKeysCase{"GhostIsTheFirstRow", {'P'}, true, "[po] pomk", "o|Post", L"po"},
        MatchKeysCase{"NoMatchEnterAsBefore", {'Q', 'Q', kDown}, true, "none", "|", L"qq"},
        MatchKeysCase{"ListOffKeysAsBefore", {'E', kDown, kTab}, false, "none", "tf|Echo to a file", L"e"},
        MatchKeysCase{"MoreStartedProgramFirstAndEnterOpensIt",
                      {'N', 'O', 'T', ' ', 'A'},
                      true,
                      "[(Notepad)] ed",
                      "|",
                      L"",
                      true,
                      L"Notepad.lnk a"},
        MatchKeysCase{"ExactShortcutBeforeAMoreStartedProgram", {'E', 'D'}, true, "[ed] (Editor) (Notepad)", "|", L"ed", true},
        MatchKeysCase{"DownToAProgram", {'E', 'D', kDown}, true, "ed [(Editor)] (Notepad)", "|", L"", true, L"Editor.lnk "},
        MatchKeysCase{"ProgramsLeftOutWithTheList", {'N', 'O', 'T'}, false, "none", "|", L"not", true}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
