// The completion's cost for one typed key at 100 000 commands: the search in
// the catalogue's sorted shortcut index and the rest of the shortcut handed
// to the popup, as the state machine does it after each answer. Every key of
// 2 000 shortcuts typed letter by letter is timed on its own; a one-letter
// word that every shortcut starts with is the worst case, timed apart.
#include "capture/ITypingPopup.h"
#include "capture/TypedLine.h"
#include "capture/TypingStateMachine.h"
#include "catalogue/QuorvallisCommands.h"
#include "platform/ILineWorkers.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct LetterKeyboard : IKeyboardState {
    bool ShiftDown() const override { return false; }
    bool CapsLockOn() const override { return false; }
    unsigned CharacterOfKey(unsigned vk) const override { return vk >= 'A' && vk <= 'Z' ? vk : 0; }
};

struct CompletionPopup : ITypingPopup {
    void Show() override { line.Clear(); }
    void Hide() override {}
    bool Exists() const override { return true; }
    void TypeKey(unsigned vk) override { line.TypeKey(vk, keyboard); }
    std::wstring Text() const override { return line.Text(); }
    void SetText(const std::wstring& text) override { line.Assign(text); }
    void ShowCompletion(const std::wstring& rest, const std::wstring&) override { shown += rest.size(); }
    LetterKeyboard keyboard;
    TypedLine line;
    std::size_t shown = 0;
};

struct NoWorkers : ILineWorkers {
    bool Start(const std::wstring&) override { return true; }
};

constexpr std::uint32_t kPress = 0x001E0001;
constexpr unsigned kCtrl = 17, kEscape = 27;

double Percentile(std::vector<double> values, double q)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<std::size_t>(q * values.size()))];
}

// Types each shortcut key by key and times the completion after each key.
std::vector<double> TimeKeys(QuorvallisCommands& catalogue, const std::vector<std::wstring>& words)
{
    CompletionPopup popup;
    NoWorkers workers;
    TypingStateMachine machine(catalogue, popup, workers);
    std::vector<double> nanoseconds;
    for (const std::wstring& word : words) {
        machine.OnKeyEvent(kCtrl, kPress);
        machine.OnKeyEvent(kCtrl, kPress);
        for (wchar_t c : word) {
            machine.OnKeyEvent(static_cast<unsigned>(c - L'a' + 'A'), kPress);
            const auto start = Clock::now();
            machine.UpdateCompletion();
            nanoseconds.push_back(std::chrono::duration<double, std::nano>(Clock::now() - start).count());
        }
        machine.OnKeyEvent(kEscape, kPress);
    }
    return nanoseconds;
}

void Report(const char* name, const std::vector<double>& ns)
{
    std::printf("  %-44s median %8.0f ns  p90 %8.0f ns  p99 %8.0f ns  max %8.0f ns  (%zu keys)\n", name,
                Percentile(ns, 0.5), Percentile(ns, 0.9), Percentile(ns, 0.99), Percentile(ns, 1.0), ns.size());
}

} // namespace

int main()
{
    constexpr int kCommands = 100000;
    std::mt19937 random(15);
    QuorvallisCommands catalogue;
    std::vector<std::wstring> shortcuts;
    while (static_cast<int>(shortcuts.size()) < kCommands) {
        std::wstring word(3 + random() % 6, L'a');
        for (wchar_t& c : word)
            c = static_cast<wchar_t>(L'a' + random() % 26);
        CommandPtr command = catalogue.AddCommand(0, L"Command " + word, L"", 0, word);
        if (!command)
            continue; // taken already
        // One command in ten has been run, a few of them often.
        if (random() % 10 == 0)
            command->timesExecuted = static_cast<int>(random() % 50);
        shortcuts.push_back(word);
    }
    std::vector<std::wstring> typed;
    for (int i = 0; i < 2000; ++i)
        typed.push_back(shortcuts[random() % shortcuts.size()]);

    std::printf("completion after one typed key, %d commands (target: median < 5000 ns):\n", kCommands);
    TimeKeys(catalogue, {typed[0]}); // builds the index
    Report("every key of 2 000 shortcuts", TimeKeys(catalogue, typed));
    std::vector<std::wstring> firstLetters;
    for (const std::wstring& word : typed)
        firstLetters.push_back(word.substr(0, 1));
    Report("first letters only (about 3 800 shortcuts each)", TimeKeys(catalogue, firstLetters));

    // What the next key pays after a run, after a command was added in the
    // main window, and after an editor was opened and cancelled.
    const auto once = [&catalogue](const auto& change) {
        change();
        const auto start = Clock::now();
        catalogue.CompletionFor(L"q");
        return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    };
    std::printf("  first key after a run                          %8.0f us\n",
                once([&] { catalogue.RecordSuccessfulRun(catalogue.allCommands[500]); }));
    std::printf("  first key after a command was added            %8.0f us\n",
                once([&] { catalogue.AddCommand(0, L"New", L"", 0, L"zzzzzzzzz"); }));
    // The editor works on a copy of the record and drops it on Cancel.
    std::printf("  first key after an editor was opened, cancelled %7.0f us\n", once([&] {
                    CommandPtr copy(new QuorvallisCommand(*catalogue.allCommands[700]));
                    copy->shortcut = L"edited";
                    copy->timesExecuted = 7;
                }));

    // Every shortcut starting with the same letter: the whole index is walked.
    QuorvallisCommands same;
    for (int i = 0; i < kCommands; ++i)
        same.AddCommand(0, L"Command", L"", 0, L"c" + std::to_wstring(i));
    TimeKeys(same, {L"c"});
    Report("\"c\" when all 100 000 shortcuts start with it", TimeKeys(same, std::vector<std::wstring>(50, L"c")));
    return 0;
}
