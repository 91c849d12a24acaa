// Parse speed of the keystroke language: a 10 000-character text of plain
// characters, modifiers, groups, key names with counts and commands,
// expanded again and again into a sink that only counts.
#include "exec/KeySequenceParser.h"
#include "tests/exec/UsKeyLayout.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {

class CountingSink : public IKeyActionSink {
public:
    bool OnAction(const KeyAction&) override
    {
        ++count;
        return true;
    }
    long long count = 0;
};

} // namespace

int main()
{
    const wchar_t* pieces[] = {L"Hello world ", L"+(abc)", L"^c",     L"{ENTER}",    L"{LEFT 3}",     L"%{F4}",
                               L"{DELAY=0}",    L"~",      L"{PLUS}", L"{VKEY 321}", L"{rightbrace}", L"x{F1 2}y"};
    std::wstring text;
    for (size_t i = 0; text.size() < 10000; ++i)
        text += pieces[i % (sizeof pieces / sizeof pieces[0])];
    text.resize(10000);
    // Cut nowhere inside a brace.
    const size_t open = text.rfind(L'{');
    if (open != std::wstring::npos && text.find(L'}', open) == std::wstring::npos)
        text.resize(open);

    const KeySequenceParser parser(UsKeyValue);
    CountingSink sink;
    const int rounds = 500;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
        KeyDelays delays;
        parser.Expand(text, delays, sink);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double characters = static_cast<double>(text.size()) * rounds;
    std::printf("keystroke text: %zu characters, %lld actions per pass\n", text.size(), sink.count / rounds);
    std::printf("parse: %.1f million characters/s, %.1f million key actions/s\n", characters / seconds / 1e6,
                static_cast<double>(sink.count) / seconds / 1e6);
    return 0;
}
