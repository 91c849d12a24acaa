// Key delivery while typing in the popup, under Wine, with and without
// completions. Each typed letter is followed at once by a Shift press, which
// the hook lets through to a window of this program: its arrival is timed
// from the letter's SendInput, so it includes everything the launcher does
// for the letter (answer, search, painting of the completion) before it can
// take the next key.
#include "bench/LauncherProcess.h"

#include <random>

using namespace launcher_bench;

namespace {

bool WriteWords(const std::wstring& path, const std::vector<std::wstring>& shortcuts)
{
    QuorvallisCommands catalogue;
    catalogue.shownOnce = true;
    for (const std::wstring& shortcut : shortcuts)
        catalogue.AddCommand(0, L"Command " + shortcut, L"", 0, shortcut, StepType::OpenWebPage,
                             L"https://example.invalid/" + shortcut);
    Win32FileStore files;
    return Save(path, catalogue, files);
}

class ShiftProbe {
public:
    ShiftProbe()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &ShiftProbe::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QvCompletionProbe";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(0, wc.lpszClassName, L"QvCompletionProbe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50,
                                  50, 300, 200, nullptr, nullptr, wc.hInstance, nullptr);
        PumpFor(1000);
    }
    ~ShiftProbe() { DestroyWindow(window_); }

    // Microseconds per typed letter; each word typed in a popup of its own.
    std::vector<double> Type(const std::vector<std::wstring>& words)
    {
        std::vector<double> delays;
        for (const std::wstring& word : words) {
            SetForegroundWindow(window_);
            SetFocus(window_);
            Send({{VK_CONTROL, false}, {VK_CONTROL, true}, {VK_CONTROL, false}, {VK_CONTROL, true}});
            PumpFor(50);
            for (wchar_t c : word) {
                const WORD letter = static_cast<WORD>(c - L'a' + 'A');
                arrived_ = false;
                const auto start = Clock::now();
                Send({{letter, false}, {letter, true}, {VK_SHIFT, false}});
                MSG msg;
                while (!arrived_ && Clock::now() - start < std::chrono::seconds(2)) {
                    if (GetMessageW(&msg, nullptr, 0, 0) <= 0)
                        break;
                    DispatchMessageW(&msg);
                }
                if (arrived_)
                    delays.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
                Send({{VK_SHIFT, true}});
                PumpFor(10);
            }
            Send({{VK_ESCAPE, false}, {VK_ESCAPE, true}});
            PumpFor(20);
        }
        return delays;
    }

private:
    static void Send(std::initializer_list<std::pair<WORD, bool>> keys)
    {
        std::vector<INPUT> inputs;
        for (const auto& [vk, up] : keys) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = vk;
            input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(input);
        }
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    }
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_KEYDOWN && wParam == VK_SHIFT)
            arrived_ = true;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    HWND window_ = nullptr;
    static inline bool arrived_ = false;
};

} // namespace

int wmain()
{
    const std::wstring exe = InstallLauncher(L"qv-completion-bench");
    if (exe.empty()) {
        std::printf("cannot copy the launcher from the build tree\n");
        return 1;
    }
    const std::wstring data = exe.substr(0, exe.rfind(L'\\') + 1) + L"Preferences.data";
    constexpr int kCommands = 100000;
    std::mt19937 random(15);
    std::vector<std::wstring> words, numbered;
    for (int i = 0; i < kCommands; ++i) {
        std::wstring word(3 + random() % 6, L'a');
        for (wchar_t& c : word)
            c = static_cast<wchar_t>(L'a' + random() % 26);
        words.push_back(word);
        numbered.push_back(std::to_wstring(i));
    }
    std::vector<std::wstring> typed;
    for (int i = 0; i < 60; ++i)
        typed.push_back(words[random() % words.size()]);

    ShiftProbe probe;
    std::printf("typing in the popup under Wine, letter's SendInput to the next key's arrival:\n");
    const struct {
        const char* name;
        const std::vector<std::wstring>* shortcuts;
    } runs[] = {{"100 000 commands, none completes", &numbered}, {"100 000 commands, completions shown", &words},
                {"100 000 commands, none completes", &numbered}};
    for (const auto& run : runs) {
        if (!WriteWords(data, *run.shortcuts)) {
            std::printf("  cannot write the catalogue\n");
            return 1;
        }
        Launcher launcher;
        if (!launcher.Start(exe))
            return 1;
        HWND window = launcher.WaitUntilAnswering(120000);
        PumpFor(1000);
        const std::vector<double> delays = probe.Type(typed);
        std::size_t letters = 0;
        for (const std::wstring& word : typed)
            letters += word.size();
        Report(run.name, delays, static_cast<int>(letters));
        if (window)
            launcher.Exit(window);
    }
    return 0;
}
