#include "exec/KeySequenceParser.h"
#include "tests/exec/KeyActionText.h"
#include "tests/exec/UsKeyLayout.h"

#include <gtest/gtest.h>

namespace {

KeySequenceParser UsParser()
{
    return KeySequenceParser(UsKeyValue);
}

std::string Play(const std::wstring& text, KeyDelays delays = KeyDelays())
{
    return DescribeActions(UsParser().ToList(text, delays));
}

struct Case {
    const wchar_t* text;
    const char* actions;
};

void CheckCases(const Case* cases, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i);
        EXPECT_EQ(Play(cases[i].text), cases[i].actions);
    }
}

TEST(KeySequenceParser, CharactersAndModifiers)
{
    const Case cases[] = {
        {L"", ""},
        {L"abc", "d65 u65/3 d66 u66/3 d67 u67/3"},
        // Capitals carry the layout's Shift around each key.
        {L"ABC", "d16 d65 u65/3 u16/2 d16 d66 u66/3 u16/2 d16 d67 u67/3 u16/2"},
        // A held modifier lasts for one key only...
        {L"+abc", "d16 d65 u65/3 u16/2 d66 u66/3 d67 u67/3"},
        // ...or, in a group, until ")".
        {L"+(abc)", "d16 d65 u65/3 d66 u66/3 d67 u67/3 u16/2"},
        {L"^c", "d17 d67 u67/3 u17/2"},
        {L"%{F4}", "d18 d115 u115/3 u18/2"},
        {L"@r", "d91 d82 u82/3 u91/2"},
        {L"^%+(x)", "d17 d18 d16 d88 u88/3 u16/2 u17/2 u18/2"},
        // Two presses of a modifier, one release.
        {L"++a", "d16 d16 d65 u65/3 u16/2"},
        // Groups do not nest: the first ")" ends it.
        {L"+(a(b)c)", "d16 d65 u65/3 d66 u66/3 u16/2 d67 u67/3"},
        // An unclosed group and a modifier with no key still end released.
        {L"(+a", "d16 d65 u65/3 u16/2"},
        {L"^", "d17 u17/2"},
        // A character the layout cannot type is skipped and keeps Shift held.
        {L"+\u00e9a", "d16 d65 u65/3 u16/2"},
        {L"}", "d16 d221 u221/3 u16/2"},
        {L"a b", "d65 u65/3 d32 u32/3 d66 u66/3"},
        // A line break is one Enter, whether stored as CR LF, LF or CR.
        {L"a\r\nb", "d65 u65/3 d13 u13/3 d66 u66/3"},
        {L"a\nb", "d65 u65/3 d13 u13/3 d66 u66/3"},
        {L"a\rb", "d65 u65/3 d13 u13/3 d66 u66/3"},
        {L"^\r\n\r\n", "d17 d13 u13/3 u17/2 d13 u13/3"},
    };
    CheckCases(cases, std::size(cases));
    // A text ends at its first zero.
    EXPECT_EQ(Play(std::wstring(L"a\0b", 3)), "d65 u65/3");
}

TEST(KeySequenceParser, EnterAndKeyNames)
{
    const Case cases[] = {
        {L"~", "d13 u13/3"},
        {L"{ENTER}", "d13 u13/3"},
        {L"{enter}", "d13 u13/3"},
        {L"{ENT}", ""},
        {L"+{FOO}a", "d16 d65 u65/3 u16/2"},
        {L"{LEFT 3}", "d37/1 u37/3 d37/1 u37/3 d37/1 u37/3"},
        {L"{LEFT3}", "d37/1 u37/3 d37/1 u37/3 d37/1 u37/3"},
        {L"{LEFTBRACE}", "d16 d219 u219/3 u16/2"},
        {L"{F12}", "d123 u123/3"},
        {L"{F1 2}", "d112 u112/3 d112 u112/3"},
        {L"{F16}", "d127 u127/3"},
        {L"{DEL}", "d46/1 u46/3"},
        {L"{DELETE}", "d46/1 u46/3"},
        {L"{PRTSC}{SNAPSHOT}", "d42 u42/3 d44 u44/3"},
        {L"{WIN}{LWIN}", "d91 u91/3 d91 u91/3"},
        {L"{DOWN}{LEFTPAREN}", "d40/1 u40/3 d16 d57 u57/3 u16/2"},
        {L"{TAB 2}", "d9 u9/3 d9 u9/3"},
        {L"{NUMLOCK 2}", "n n"},
        // Count 0 presses nothing but still releases held modifiers.
        {L"+{LEFT 0}a", "d16 u16/2 d65 u65/3"},
        {L"{LEFT x}", ""},
        {L"{LEFT 65537}", "d37/1 u37/3"},
        // A negative count would wrap to tens of thousands of presses.
        {L"{LEFT -1}", ""},
        {L"{}", ""},
        {L"{{}", ""},
        {L"{}}", "d16 d221 u221/3 u16/2"},
    };
    CheckCases(cases, std::size(cases));
}

TEST(KeySequenceParser, EscapesTypeTheLanguagesOwnCharacters)
{
    const Case cases[] = {
        {L"{PLUS}", "d16 d187 u187/3 u16/2"},       {L"{CARET}", "d16 d54 u54/3 u16/2"},
        {L"{PERCENT}", "d16 d53 u53/3 u16/2"},      {L"{TILDE}", "d16 d192 u192/3 u16/2"},
        {L"{AT}", "d16 d50 u50/3 u16/2"},           {L"{LEFTPAREN}", "d16 d57 u57/3 u16/2"},
        {L"{RIGHTPAREN}", "d16 d48 u48/3 u16/2"},   {L"{LEFTBRACE}", "d16 d219 u219/3 u16/2"},
        {L"{RIGHTBRACE}", "d16 d221 u221/3 u16/2"},
    };
    CheckCases(cases, std::size(cases));
}

TEST(KeySequenceParser, VirtualKeys)
{
    const Case cases[] = {
        {L"{VKEY 13}", "d13 u13/3"},
        {L"{vkey13}x", "d13 u13/3 d88 u88/3"},
        {L"{VKEY 321}", "d16 d65 u65/3 u16/2"},
        {L"{VKEY 1857}", "d16 d17 d18 d65 u65/3 u16/2 u17/2 u18/2"},
        {L"{VKEY 65535}", ""},
        {L"{VKEY -1}", ""},
        {L"{VKEY 65601}", "d65 u65/3"},
        {L"{VKEY 37}", "d37/1 u37/3"},
        {L"{VKEY 144}", "n"},
        {L"+{VKEY 65535}a", "d16 d65 u65/3 u16/2"},
    };
    CheckCases(cases, std::size(cases));
}

TEST(KeySequenceParser, Delays)
{
    const Case cases[] = {
        {L"{DELAY 500}ab", "s500 d65 u65/3 d66 u66/3"},
        {L"{DELAY=100}ab", "s100 d65 u65/3 s100 d66 u66/3"},
        {L"{DELAY=100}{DELAY 500}ab", "s500 d65 u65/3 s100 d66 u66/3"},
        {L"{DELAY=100}{LEFT 2}", "s100 d37/1 u37/3 s100 d37/1 u37/3"},
        // Enter by "~" waits for nothing.
        {L"{DELAY=100}~", "d13 u13/3"},
        {L"{delay   7}a", "s7 d65 u65/3"},
        {L"{DELAY}a", "d65 u65/3"},
        // Negative delays count as none instead of an endless wait.
        {L"{DELAY -5}a", "d65 u65/3"},
        {L"{DELAY=-5}ab", "d65 u65/3 d66 u66/3"},
        {L"{DELAY 99999999999}a", "s2147483647 d65 u65/3"},
        // A delay does not release held modifiers.
        {L"+{DELAY 5}a", "d16 s5 d65 u65/3 u16/2"},
    };
    CheckCases(cases, std::size(cases));
    EXPECT_EQ(Play(L"ab", KeyDelays{10, 0}), "s10 d65 u65/3 s10 d66 u66/3");
    EXPECT_EQ(Play(L"ab", KeyDelays{0, 30}), "s30 d65 u65/3 d66 u66/3");
}

TEST(KeySequenceParser, BeepAndActivate)
{
    const Case cases[] = {
        {L"{BEEP 440}", ""},
        {L"{BEEP 440 200}", "b440,200"},
        {L"{beep 440 200}", "b440,200"},
        // Negative numbers would mean an endless tone: skipped.
        {L"{BEEP -440 200}", ""},
        {L"{BEEP 440 -1}", ""},
        {L"+{BEEP 440 200}a", "d16 b440,200 d65 u65/3 u16/2"},
        {L"{APPACTIVATE Report}", "a[Report]"},
        {L"{appactivate Report 2}", "a[Report 2]"},
        {L"{APPACTIVATE}", ""},
        {L"{APPACTIVATE }", ""},
        {L"+{APPACTIVATE R}a", "d16 a[R] d65 u65/3 u16/2"},
    };
    CheckCases(cases, std::size(cases));
}

// The 71 names and what each presses, as the language lists them: a virtual
// key, or a character typed through the layout (US here).
TEST(KeySequenceParser, EveryKeyNamePressesItsListedKey)
{
    struct Listed {
        const wchar_t* name;
        unsigned code;
        bool character;
    };
    const Listed listed[] = {
        {L"ADD", 107, false},       {L"APPS", 93, false},       {L"AT", '@', true},        {L"BACKSPACE", 8, false},
        {L"BKSP", 8, false},        {L"BREAK", 3, false},       {L"BS", 8, false},         {L"CAPSLOCK", 20, false},
        {L"CARET", '^', true},      {L"CLEAR", 12, false},      {L"DECIMAL", 110, false},  {L"DEL", 46, false},
        {L"DELETE", 46, false},     {L"DIVIDE", 111, false},    {L"DOWN", 40, false},      {L"END", 35, false},
        {L"ENTER", 13, false},      {L"ESC", 27, false},        {L"ESCAPE", 27, false},    {L"F1", 112, false},
        {L"F10", 121, false},       {L"F11", 122, false},       {L"F12", 123, false},      {L"F13", 124, false},
        {L"F14", 125, false},       {L"F15", 126, false},       {L"F16", 127, false},      {L"F2", 113, false},
        {L"F3", 114, false},        {L"F4", 115, false},        {L"F5", 116, false},       {L"F6", 117, false},
        {L"F7", 118, false},        {L"F8", 119, false},        {L"F9", 120, false},       {L"HELP", 47, false},
        {L"HOME", 36, false},       {L"INS", 45, false},        {L"LEFT", 37, false},      {L"LEFTBRACE", '{', true},
        {L"LEFTPAREN", '(', true},  {L"LWIN", 91, false},       {L"MULTIPLY", 106, false}, {L"NUMLOCK", 144, false},
        {L"NUMPAD0", 96, false},    {L"NUMPAD1", 97, false},    {L"NUMPAD2", 98, false},   {L"NUMPAD3", 99, false},
        {L"NUMPAD4", 100, false},   {L"NUMPAD5", 101, false},   {L"NUMPAD6", 102, false},  {L"NUMPAD7", 103, false},
        {L"NUMPAD8", 104, false},   {L"NUMPAD9", 105, false},   {L"PERCENT", '%', true},   {L"PGDN", 34, false},
        {L"PGUP", 33, false},       {L"PLUS", '+', true},       {L"PRTSC", 42, false},     {L"RIGHT", 39, false},
        {L"RIGHTBRACE", '}', true}, {L"RIGHTPAREN", ')', true}, {L"RWIN", 92, false},      {L"SCROLL", 145, false},
        {L"SEPARATOR", 108, false}, {L"SNAPSHOT", 44, false},   {L"SUBTRACT", 109, false}, {L"TAB", 9, false},
        {L"TILDE", '~', true},      {L"UP", 38, false},         {L"WIN", 91, false},
    };
    ASSERT_EQ(std::size(listed), 71u);
    ASSERT_EQ(KeySequenceParser::KeyNames().size(), std::size(listed));
    for (std::size_t i = 0; i < std::size(listed); ++i) {
        const Listed& entry = listed[i];
        const std::string name(entry.name, entry.name + wcslen(entry.name));
        SCOPED_TRACE(name);
        EXPECT_EQ(std::wstring(KeySequenceParser::KeyNames()[i].name), entry.name) << "table order";
        // A character goes through the layout, with the Shift it needs there.
        const unsigned value = entry.character ? UsKeyValue(static_cast<wchar_t>(entry.code)) : entry.code;
        const unsigned vk = value & 0xFF;
        const bool shifted = (value >> 8) & 1;
        const std::string expected =
            vk == 144 ? "n"
                      : std::string(shifted ? "d16 " : "") + "d" + std::to_string(vk) +
                            (KeySequenceParser::IsExtendedKey(static_cast<unsigned char>(vk)) ? "/1" : "") + " u" +
                            std::to_string(vk) + "/3" + (shifted ? " u16/2" : "");
        EXPECT_EQ(Play(L"{" + std::wstring(entry.name) + L"}"), expected);
        EXPECT_EQ(Play(L"{" + std::wstring(entry.name) + L" 1}"), expected);
    }
}

TEST(KeySequenceParser, BrokenTextsAreFoundBeforeAnythingIsPlayed)
{
    const KeySequenceParser parser = UsParser();
    const std::wstring spaces299(294, L' '), spaces300(295, L' ');
    // "LEFT" + blanks + "2" is 299 characters: still a count.
    EXPECT_EQ(Play(L"{LEFT" + spaces299 + L"2}"), "d37/1 u37/3 d37/1 u37/3");
    EXPECT_EQ(parser.Validate(L"{LEFT" + spaces299 + L"2}").problem, KeySequenceParser::Problem::None);

    struct BrokenCase {
        std::wstring text;
        KeySequenceParser::Problem problem;
        size_t position;
    };
    const BrokenCase cases[] = {
        {L"{LEFT" + spaces300 + L"2}", KeySequenceParser::Problem::BraceTooLong, 0},
        {L"ab+{LEFT" + spaces300 + L"2}", KeySequenceParser::Problem::BraceTooLong, 3},
        {L"{a}{LEFT" + spaces300 + L"2}", KeySequenceParser::Problem::BraceTooLong, 3},
        // Unclosed, the rest of the text is the brace text, limit included.
        {L"ab{LEFT" + spaces300 + L"2", KeySequenceParser::Problem::BraceTooLong, 2},
    };
    for (const BrokenCase& c : cases) {
        const auto check = parser.Validate(c.text);
        EXPECT_EQ(check.problem, c.problem);
        EXPECT_EQ(check.position, c.position);
        KeyDelays delays;
        struct CountingSink : IKeyActionSink {
            bool OnAction(const KeyAction&) override { return ++count, true; }
            int count = 0;
        } sink;
        EXPECT_EQ(parser.Expand(c.text, delays, sink), KeySequenceParser::Outcome::BrokenText);
        EXPECT_EQ(sink.count, 0);
    }
}

// A "{" without "}" takes the rest of the text as its brace text, and the
// playback ends after it; stored scripts rely on it.
TEST(KeySequenceParser, AnUnclosedBraceTakesTheRestOfTheText)
{
    const std::wstring spaces(293, L' ');
    const Case cases[] = {
        {L"ab{", "d65 u65/3 d66 u66/3"},
        {L"+ab{ENTER", "d16 d65 u65/3 u16/2 d66 u66/3 d13 u13/3"},
        {L"^{", "d17 u17/2"},
        {L"x{LEFT 2}y{ENTER}z", "d88 u88/3 d37/1 u37/3 d37/1 u37/3 d89 u89/3 d13 u13/3 d90 u90/3"},
        {L"x{LEFT 2 {ENTER}", "d88 u88/3 d37/1 u37/3 d37/1 u37/3"},
        {L"+{F4", "d16 d115 u115/3 u16/2"},
        {L"{DELAY 20", ""},
    };
    CheckCases(cases, std::size(cases));
    // The text ends at its first zero, and so does the brace.
    EXPECT_EQ(Play(std::wstring(L"a{ENTER\0}b", 10)), "d65 u65/3 d13 u13/3");
    // An unclosed brace text of 299 characters is still examined.
    EXPECT_EQ(Play(L"{LEFT" + spaces + L"2"), "d37/1 u37/3 d37/1 u37/3");
    EXPECT_EQ(UsParser().Validate(L"{LEFT" + spaces + L"2").problem, KeySequenceParser::Problem::None);
}

TEST(KeySequenceParser, DelaysCarryAcrossTheText)
{
    KeyDelays delays{0, 0};
    struct NullSink : IKeyActionSink {
        bool OnAction(const KeyAction&) override { return true; }
    } sink;
    UsParser().Expand(L"{DELAY=40}a{DELAY 9}", delays, sink);
    EXPECT_EQ(delays.defaultDelay, 40);
    EXPECT_EQ(delays.pendingDelay, 9);
}

} // namespace
