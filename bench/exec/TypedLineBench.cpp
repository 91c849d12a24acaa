// How long a typed line takes from Enter to the first step's system call:
// tokenizing, finding the command by shortcut among N commands (the one
// added last) and filling its placeholder.
#include "catalogue/QuorvallisCommands.h"
#include "exec/CommandDispatcher.h"
#include "exec/IKeystrokePlayer.h"
#include "platform/ICommandNotifier.h"
#include "platform/IKeyboardOutput.h"
#include "platform/IStepPlatform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

class TimingPlatform : public IStepPlatform {
public:
    bool OpenWithShell(const std::wstring& target) override
    {
        reachedAt = Clock::now();
        opened = target;
        return true;
    }
    bool StartProcess(const std::wstring&) override { return true; }
    void Pause(int) override {}

    Clock::time_point reachedAt;
    std::wstring opened;
};

class SilentKeyboard : public IKeyboardOutput {
public:
    unsigned short KeyValueOf(wchar_t) const override { return 0xFFFF; }
    bool SendKeyEvent(unsigned short, unsigned) override { return true; }
    void Sleep(int) override {}
    void Beep(int, int) override {}
    bool ActivateWindow(const std::wstring&) override { return false; }
    void ToggleNumLock() override {}
};

class SilentPlayer : public IKeystrokePlayer {
public:
    bool Play(const std::wstring&) override { return true; }
};

class SilentNotifier : public ICommandNotifier {
public:
    void CommandExecuted(void*, int) override {}
};

void Measure(int commandCount)
{
    QuorvallisCommands catalogue;
    for (int i = 0; i < commandCount; ++i) {
        CommandPtr command =
            catalogue.AddCommand(0, L"Command " + std::to_wstring(i), L"", -1, L"cmd" + std::to_wstring(i));
        command->SetRegularStep(StepType::OpenWebPage, L"http://example.invalid/search?q=%%");
    }
    // Typed in other capitals than stored, so the case folding is exercised.
    const std::wstring line = L"CMD" + std::to_wstring(commandCount - 1) + L" \"two words\" extra";

    TimingPlatform platform;
    SilentKeyboard keyboard;
    SilentPlayer player;
    SilentNotifier notifier;
    CommandDispatcher dispatcher(platform, keyboard, player, notifier);

    const int runs = 50;
    std::vector<double> micros;
    for (int run = 0; run < runs; ++run) {
        const Clock::time_point start = Clock::now();
        if (!dispatcher.RunTypedLine(catalogue, line)) {
            std::printf("typed line failed at %d commands\n", commandCount);
            return;
        }
        micros.push_back(std::chrono::duration<double, std::micro>(platform.reachedAt - start).count());
    }
    std::sort(micros.begin(), micros.end());
    std::printf("%7d commands: median %8.1f us, 90th percentile %8.1f us, worst %8.1f us (%d runs)\n", commandCount,
                micros[runs / 2], micros[runs * 9 / 10], micros.back(), runs);
}

} // namespace

int main()
{
    std::printf("typed line to first step call (target: under 5000 us at 100000 commands)\n");
    for (const int count : {1000, 10000, 100000})
        Measure(count);
    return 0;
}
