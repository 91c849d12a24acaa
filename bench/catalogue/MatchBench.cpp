// The list of matches for one typed word: the ranked rows the catalogue
// gives for it, timed word by word, with 10 000 commands (against the
// targets) and 100 000 (for the growth). The words are what users type: the
// start of a shortcut, a few letters of a name in order, the initials of a
// name, single letters (the most matches), and words that match nothing.
#include "catalogue/QuorvallisCommands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwctype>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

const wchar_t* const kWords[] = {L"open",   L"mail",    L"echo",  L"file",    L"to",     L"the",    L"notes",
                                 L"remote", L"desktop", L"print", L"date",    L"search", L"web",    L"start",
                                 L"music",  L"player",  L"calc",  L"journal", L"backup", L"server", L"report"};

std::wstring RandomName(std::mt19937& random)
{
    std::wstring name;
    const int words = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < words; ++i) {
        std::wstring word = kWords[random() % std::size(kWords)];
        if (i == 0)
            word[0] = static_cast<wchar_t>(word[0] - L'a' + L'A');
        name += (i ? L" " : L"") + word;
    }
    return name + L" " + std::to_wstring(random() % 1000);
}

// Letters of the name in order: every second one, up to five.
std::wstring Scattered(const std::wstring& name)
{
    std::wstring word;
    for (std::size_t i = 0; i < name.size() && word.size() < 5; i += 2)
        if (name[i] != L' ')
            word += static_cast<wchar_t>(std::towlower(name[i]));
    return word;
}

std::wstring Initials(const std::wstring& name)
{
    std::wstring word;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (i == 0 || name[i - 1] == L' ')
            word += static_cast<wchar_t>(std::towlower(name[i]));
    return word;
}

double Percentile(std::vector<double> values, double q)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<std::size_t>(q * values.size()))];
}

struct Figures {
    double median = -1;
    double p99 = -1;
    std::size_t words = 0;
};

Figures Measure(int commands)
{
    std::mt19937 random(23);
    QuorvallisCommands catalogue;
    std::vector<std::wstring> names, shortcuts;
    while (static_cast<int>(names.size()) < commands) {
        std::wstring shortcut(2 + random() % 5, L'a');
        for (wchar_t& c : shortcut)
            c = static_cast<wchar_t>(L'a' + random() % 26);
        const std::wstring name = RandomName(random);
        CommandPtr command = catalogue.AddCommand(0, name, L"", 0, shortcut);
        if (!command)
            continue; // shortcut taken already
        if (random() % 10 == 0)
            command->timesExecuted = static_cast<int>(random() % 50);
        names.push_back(name);
        shortcuts.push_back(shortcut);
    }
    std::vector<std::wstring> typed;
    for (int i = 0; i < 400; ++i) {
        const std::size_t pick = random() % names.size();
        typed.push_back(shortcuts[pick].substr(0, 1 + random() % shortcuts[pick].size()));
        typed.push_back(Scattered(names[pick]));
        typed.push_back(Initials(names[pick]));
        typed.push_back(std::wstring(1, static_cast<wchar_t>(L'a' + random() % 26)));
        typed.push_back(L"zqxj" + std::to_wstring(i));
    }
    catalogue.Matches(L"warm", 6); // the candidates are made at the first word
    std::vector<double> ms;
    std::size_t rows = 0;
    for (const std::wstring& word : typed) {
        const auto start = Clock::now();
        rows += catalogue.Matches(word, 6).size();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    Figures figures;
    if (ms.empty() || rows == 0)
        return figures;
    figures.median = Percentile(ms, 0.5);
    figures.p99 = Percentile(ms, 0.99);
    figures.words = ms.size();
    return figures;
}

} // namespace

int main()
{
    std::printf("list of matches for one typed word (ranked rows, at most 6):\n");
    const Figures ten = Measure(10000);
    const Figures hundred = Measure(100000);
    if (ten.words == 0 || hundred.words == 0) {
        std::printf("  nothing measured\n");
        return 1;
    }
    std::printf("   10 000 commands: median %7.3f ms (target: under 1 ms)  p99 %7.3f ms (target: under 3 ms)  (%zu "
                "words)\n",
                ten.median, ten.p99, ten.words);
    std::printf("  100 000 commands: median %7.3f ms  p99 %7.3f ms  (x%.1f of 10 000 at the median; linear: x10)\n",
                hundred.median, hundred.p99, hundred.median / ten.median);
    return ten.median < 1.0 && ten.p99 < 3.0 ? 0 : 1;
}
