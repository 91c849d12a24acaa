// Key delivery while typing in the popup, under Wine, with and without
// completions. Each typed letter is followed at once by a Shift press, which
// the hook lets through to a window of this program: its arrival is timed
// from the letter's SendInput, so it includes everything the launcher does
// for the letter (answer, search, painting of the completion) before it can
// take the next key. Words that complete and words that complete nothing
// take turns in one popup, each erased with Backspace before the next.
// Then the same with the list of matches on, at 10 000 commands: words that
// list commands by their names against words that match nothing.
#include "bench/LauncherProcess.h"
#include "platform/win32/Win32Options.h"

#include <random>
#include <set>

using namespace launcher_bench;

namespace {

bool WriteWords(const std::wstring& path, const std::set<std::wstring>& shortcuts)
{
    QuorvallisCommands catalogue;
    catalogue.shownOnce = true;
    for (const std::wstring& shortcut : shortcuts)
        catalogue.AddCommand(0, L"Command " + shortcut, L"", 0, shortcut, StepType::OpenWebPage,
                             L"https://example.invalid/" + shortcut);
    Win32FileStore files;
    return Save(path, catalogue, files);
}

// A word of 3 to 8 letters from `first` to `first` + 12.
std::wstring RandomWord(std::mt19937& random, wchar_t first)
{
    std::wstring word(3 + random() % 6, first);
    for (wchar_t& c : word)
        c = static_cast<wchar_t>(first + random() % 13);
    return word;
}

struct PopupSearch {
    DWORD process;
    bool found;
};

// The popup is the launcher's visible dialog without a title.
bool PopupShown(DWORD process)
{
    PopupSearch search{process, false};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* state = reinterpret_cast<PopupSearch*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            state->found = owner == state->process && IsWindowVisible(window) && GetWindowTextLengthW(window) == 0 &&
                           std::wstring(name) == L"#32770";
            return !state->found;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Ctrl twice until the popup is there.
bool OpenPopup(KeyProbe& probe, DWORD process)
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        probe.Focus();
        for (int i = 0; i < 2; ++i) {
            KeyProbe::Send(VK_CONTROL, false);
            KeyProbe::Send(VK_CONTROL, true);
        }
        PumpFor(300);
        if (PopupShown(process))
            return true;
    }
    return false;
}

// Types a word letter by letter, timing each, then erases it.
void TypeWord(KeyProbe& probe, const std::wstring& word, std::vector<double>& delays)
{
    for (wchar_t c : word) {
        const WORD letter = static_cast<WORD>(c - L'a' + 'A');
        const double delay = probe.TimeToKeyDown([letter] {
            KeyProbe::Send(letter, false);
            KeyProbe::Send(letter, true);
            KeyProbe::Send(VK_SHIFT, false);
        });
        if (delay >= 0)
            delays.push_back(delay);
        KeyProbe::Send(VK_SHIFT, true);
        PumpFor(10);
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        KeyProbe::Send(VK_BACK, false);
        KeyProbe::Send(VK_BACK, true);
    }
    PumpFor(50);
}

// Types `rounds` pairs of words, one of each kind, in one popup of a launcher
// started on the catalogue written at `exe`; false when it could not.
bool TypeTurns(const std::wstring& exe, const std::vector<std::wstring>& hits, wchar_t missFrom, int rounds,
               std::vector<double>& hitDelays, std::vector<double>& missDelays, int letters[2])
{
    std::mt19937 random(15);
    Launcher launcher;
    if (!launcher.Start(exe))
        return false;
    HWND window = launcher.WaitUntilAnswering(120000);
    PumpFor(1000);
    KeyProbe probe;
    if (!window || !OpenPopup(probe, launcher.process.dwProcessId)) {
        std::printf("the popup did not open\n");
        if (window)
            launcher.Exit(window);
        return false;
    }
    for (int round = 0; round < rounds; ++round) {
        const std::wstring hit = hits[random() % hits.size()];
        const std::wstring miss = RandomWord(random, missFrom);
        TypeWord(probe, hit, hitDelays);
        TypeWord(probe, miss, missDelays);
        letters[0] += static_cast<int>(hit.size());
        letters[1] += static_cast<int>(miss.size());
    }
    KeyProbe::Send(VK_ESCAPE, false);
    KeyProbe::Send(VK_ESCAPE, true);
    launcher.Exit(window);
    return true;
}

} // namespace

int wmain()
{
    const std::wstring exe = InstallLauncher(L"qv-completion-bench");
    if (exe.empty()) {
        std::printf("cannot copy the launcher from the build tree\n");
        return 1;
    }
    const std::wstring store = exe.substr(0, exe.rfind(L'\\') + 1) + L"Preferences.data";
    Win32Options options;
    // Shortcuts of the letters a to m: words of n to z complete nothing.
    // The completion alone, as before the list of matches.
    options.SetNumber(L"ShowMatches", 0);
    constexpr std::size_t kCommands = 100000;
    std::mt19937 random(15);
    std::set<std::wstring> shortcuts;
    while (shortcuts.size() < kCommands)
        shortcuts.insert(RandomWord(random, L'a'));
    if (!WriteWords(store, shortcuts)) {
        std::printf("cannot write the catalogue\n");
        return 1;
    }
    std::vector<double> completing, plain;
    int letters[2] = {0, 0};
    const bool typed = TypeTurns(exe, std::vector<std::wstring>(shortcuts.begin(), shortcuts.end()), L'n', 60,
                                 completing, plain, letters);
    options.SetNumber(L"ShowMatches", 1);
    if (!typed)
        return 1;
    std::printf("typing in the popup under Wine, %zu commands, a letter's SendInput to the arrival of the key after "
                "it:\n",
                kCommands);
    bool measured = Report("words that complete nothing", plain, letters[1]) &
                    Report("words with a completion shown", completing, letters[0]);
    if (measured)
        std::printf("  difference of the medians          %8.0f us (target: under 1000 us)\n",
                    Percentile(completing, 0.5) - Percentile(plain, 0.5));

    // The list on (the default): names "Command <word>" of the letters a to
    // m, typed as their word, list the commands by name; words of n to z
    // match neither name nor shortcut.
    constexpr std::size_t kListed = 10000;
    std::set<std::wstring> words;
    while (words.size() < kListed)
        words.insert(RandomWord(random, L'a'));
    QuorvallisCommands catalogue;
    catalogue.shownOnce = true;
    std::vector<std::wstring> hits;
    for (const std::wstring& word : words) {
        // Shortcuts of digits: only the names match the typed letters.
        const std::wstring shortcut = L"0" + std::to_wstring(hits.size());
        catalogue.AddCommand(0, L"Bd " + word, L"", 0, shortcut, StepType::OpenWebPage, L"https://example.invalid/");
        hits.push_back(word);
    }
    Win32FileStore files;
    if (!Save(store, catalogue, files)) {
        std::printf("cannot write the catalogue\n");
        return 1;
    }
    std::vector<double> listing, nothing;
    int listLetters[2] = {0, 0};
    if (!TypeTurns(exe, hits, L'n', 60, listing, nothing, listLetters))
        return 1;
    std::printf("typing in the popup under Wine with the list of matches on, %zu commands:\n", kListed);
    measured = Report("words that match nothing", nothing, listLetters[1]) &
               Report("words with the list shown", listing, listLetters[0]) & measured;
    if (!measured)
        return 1;
    std::printf("  difference of the medians          %8.0f us (target: under 1000 us)\n",
                Percentile(listing, 0.5) - Percentile(nothing, 0.5));
    return 0;
}
