// Key delivery while typing in the popup, under Wine, with and without
// completions. Each typed letter is followed at once by a Shift press, which
// the hook lets through to a window of this program: its arrival is timed
// from the letter's SendInput, so it includes everything the launcher does
// for the letter (answer, search, painting of the completion) before it can
// take the next key. Words that complete and words that complete nothing
// take turns in one popup, each erased with Backspace before the next.
#include "bench/LauncherProcess.h"

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

} // namespace

int wmain()
{
    const std::wstring exe = InstallLauncher(L"qv-completion-bench");
    if (exe.empty()) {
        std::printf("cannot copy the launcher from the build tree\n");
        return 1;
    }
    // Shortcuts of the letters a to m: words of n to z complete nothing.
    constexpr std::size_t kCommands = 100000;
    std::mt19937 random(15);
    std::set<std::wstring> shortcuts;
    while (shortcuts.size() < kCommands)
        shortcuts.insert(RandomWord(random, L'a'));
    if (!WriteWords(exe.substr(0, exe.rfind(L'\\') + 1) + L"Preferences.data", shortcuts)) {
        std::printf("cannot write the catalogue\n");
        return 1;
    }
    const std::vector<std::wstring> listed(shortcuts.begin(), shortcuts.end());
    Launcher launcher;
    if (!launcher.Start(exe))
        return 1;
    HWND window = launcher.WaitUntilAnswering(120000);
    PumpFor(1000);

    KeyProbe probe;
    if (!window || !OpenPopup(probe, launcher.process.dwProcessId)) {
        std::printf("the popup did not open\n");
        if (window)
            launcher.Exit(window);
        return 1;
    }
    std::vector<double> completing, plain;
    int letters[2] = {0, 0};
    for (int round = 0; round < 60; ++round) {
        const std::wstring completes = listed[random() % listed.size()];
        const std::wstring nothing = RandomWord(random, L'n');
        TypeWord(probe, completes, completing);
        TypeWord(probe, nothing, plain);
        letters[0] += static_cast<int>(completes.size());
        letters[1] += static_cast<int>(nothing.size());
    }
    KeyProbe::Send(VK_ESCAPE, false);
    KeyProbe::Send(VK_ESCAPE, true);
    std::printf("typing in the popup under Wine, %zu commands, a letter's SendInput to the arrival of the key after "
                "it:\n",
                kCommands);
    const bool measured = Report("words that complete nothing", plain, letters[1]) &
                          Report("words with a completion shown", completing, letters[0]);
    if (!measured) {
        launcher.Exit(window);
        return 1;
    }
    std::printf("  difference of the medians          %8.0f us (target: under 1000 us)\n",
                Percentile(completing, 0.5) - Percentile(plain, 0.5));
    launcher.Exit(window);
    return 0;
}
