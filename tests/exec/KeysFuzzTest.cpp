// Random texts over the language's alphabet, from a fixed seed so that a
// failure can be replayed: the parser must never crash or hang, must agree
// with its own validation, and must release every modifier it pressed.
#include "exec/KeySender.h"
#include "exec/KeySequenceParser.h"
#include "tests/exec/RecordingKeyboardOutput.h"
#include "tests/exec/UsKeyLayout.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

const std::vector<std::wstring>& Pieces()
{
    static const std::vector<std::wstring> pieces = {
        L"a",
        L"B",
        L"z",
        L"7",
        L" ",
        L"+",
        L"^",
        L"%",
        L"@",
        L"(",
        L")",
        L"~",
        L"{",
        L"}",
        L"{",
        L"}",
        L"=",
        L"-",
        L"1",
        L"0",
        L"9",
        L"\u00e9",
        L"\n",
        L"LEFT",
        L"left",
        L"F1",
        L"ENTER",
        L"DEL",
        L"DELAY",
        L"DELAY=",
        L"VKEY",
        L"BEEP",
        L"APPACTIVATE",
        L"NUMLOCK",
        L"PLUS",
        L"LEFTBRACE",
        L"RIGHTPAREN",
        L"TILDE",
        L"AT",
        L"WIN",
        std::wstring(1, L'\0'),
    };
    return pieces;
}

std::wstring RandomText(std::mt19937& random)
{
    const auto& pieces = Pieces();
    std::uniform_int_distribution<size_t> length(0, 40), pick(0, pieces.size() - 1);
    std::wstring text;
    for (size_t n = length(random); n > 0; --n)
        text += pieces[pick(random)];
    // Now and then a brace text near the 299-character limit.
    if (random() % 16 == 0)
        text += L"{" + std::wstring(297 + random() % 4, L' ') + L"}";
    return text;
}

// Follows which keys are down; stores nothing, since counts may be large.
class BalanceSink : public IKeyActionSink {
public:
    bool OnAction(const KeyAction& a) override
    {
        ++count;
        if (a.kind == KeyAction::Kind::KeyDown)
            down[a.virtualKey] = true;
        else if (a.kind == KeyAction::Kind::KeyUp)
            down[a.virtualKey] = false;
        else if (a.kind == KeyAction::Kind::Sleep || a.kind == KeyAction::Kind::Beep)
            negativeWait |= a.milliseconds < 0 || a.frequency < 0;
        return true;
    }
    bool AnyDown() const
    {
        for (bool d : down)
            if (d)
                return true;
        return false;
    }
    std::array<bool, 256> down{};
    long long count = 0;
    bool negativeWait = false;
};

std::string Printable(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
    return out;
}

TEST(KeysFuzz, ParserReleasesEverythingItPresses)
{
    std::mt19937 random(20261208);
    const KeySequenceParser parser(UsKeyValue);
    for (int i = 0; i < 4000; ++i) {
        const std::wstring text = RandomText(random);
        BalanceSink sink;
        KeyDelays delays;
        const auto outcome = parser.Expand(text, delays, sink);
        const bool valid = parser.Validate(text).problem == KeySequenceParser::Problem::None;
        ASSERT_EQ(outcome == KeySequenceParser::Outcome::Complete, valid) << Printable(text);
        if (!valid) {
            ASSERT_EQ(sink.count, 0) << Printable(text);
        }
        ASSERT_FALSE(sink.AnyDown()) << Printable(text);
        ASSERT_FALSE(sink.negativeWait) << Printable(text);
        ASSERT_GE(delays.defaultDelay, 0);
        ASSERT_GE(delays.pendingDelay, 0);
    }
}

// A platform that refuses a key event now and then, and a playback stopped
// at a random point, still end with every key up.
TEST(KeysFuzz, PlayerLeavesNoKeyDown)
{
    std::mt19937 random(4711);
    for (int i = 0; i < 2000; ++i) {
        const std::wstring text = RandomText(random);
        RecordingKeyboardOutput output;
        KeySender sender(output);
        const int stopAt = static_cast<int>(random() % 64);
        std::set<std::string> refusedBefore;
        output.beforeKeyEvent = [&](const std::string&) {
            if (output.keyEvents == stopAt)
                sender.RequestStop();
        };
        output.refuse = [&](const std::string& event) {
            // Transient refusals: an event is refused once at most.
            return random() % 8 == 0 && refusedBefore.insert(event).second;
        };
        sender.SendKeys(text);
        ASSERT_FALSE(output.AnyKeyDown()) << Printable(text) << " -> " << output.calls;
    }
}

} // namespace
