// Cost of one key event in the typing state machine, idle and while typing,
// with a popup that keeps the typed line as the real one does.
#include "capture/ITypingPopup.h"
#include "capture/TypedLine.h"
#include "capture/TypingStateMachine.h"
#include "catalogue/QuorvallisCommands.h"
#include "platform/ILineWorkers.h"

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

struct UsKeyboard : IKeyboardState {
    bool ShiftDown() const override { return false; }
    bool CapsLockOn() const override { return false; }
    unsigned CharacterOfKey(unsigned vk) const override { return (vk >= 'A' && vk <= 'Z') || vk == ' ' ? vk : 0; }
};

struct LinePopup : ITypingPopup {
    void Show() override
    {
        line.Clear();
        shown = true;
    }
    void Hide() override { shown = false; }
    bool Exists() const override { return shown; }
    void TypeKey(unsigned vk) override { line.TypeKey(vk, keyboard); }
    std::wstring Text() const override { return line.Text(); }
    void SetText(const std::wstring& text) override { line.Assign(text); }
    void ShowCompletion(const std::wstring&, const std::wstring&) override {}
    UsKeyboard keyboard;
    TypedLine line;
    bool shown = false;
};

struct CountingWorkers : ILineWorkers {
    bool Start(const std::wstring& line) override
    {
        characters += line.size();
        return true;
    }
    std::size_t characters = 0;
};

constexpr std::uint32_t kPress = 0x001E0001;
constexpr std::uint32_t kRelease = 0xC01E0001;

template <typename Body>
double NanosecondsPerEvent(std::size_t events, Body body)
{
    const auto start = std::chrono::steady_clock::now();
    body();
    const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
    return took.count() / static_cast<double>(events);
}

} // namespace

int main()
{
    QuorvallisCommands catalogue;
    LinePopup popup;
    CountingWorkers workers;
    TypingStateMachine machine(catalogue, popup, workers);
    constexpr std::size_t kRounds = 200000;

    // Idle: ordinary typing in other applications, presses and releases.
    const double idle = NanosecondsPerEvent(kRounds * 2, [&] {
        for (std::size_t i = 0; i < kRounds; ++i) {
            const unsigned vk = 'A' + i % 26;
            machine.OnKeyEvent(vk, kPress);
            machine.OnKeyEvent(vk, kRelease);
        }
    });

    // Typing: activation, a 40-character line, Enter; every event counted.
    std::size_t events = 0;
    const double typing = NanosecondsPerEvent(kRounds / 40 * 44, [&] {
        for (std::size_t round = 0; round < kRounds / 40; ++round) {
            machine.OnKeyEvent(17, kPress);
            machine.OnKeyEvent(17, kPress);
            for (unsigned i = 0; i < 40; ++i)
                machine.OnKeyEvent(i % 5 == 4 ? ' ' : 'A' + i % 26, kPress);
            machine.OnKeyEvent(13, kPress);
            machine.OnKeyEvent(65, kRelease);
            events += 44;
        }
    });

    // A full line: characters refused at the limit cost no more than others.
    machine.OnKeyEvent(17, kPress);
    machine.OnKeyEvent(17, kPress);
    for (std::size_t i = 0; i < TypedLine::kMaxLength; ++i)
        machine.OnKeyEvent('A', kPress);
    const double full = NanosecondsPerEvent(kRounds, [&] {
        for (std::size_t i = 0; i < kRounds; ++i)
            machine.OnKeyEvent('B', kPress);
    });
    machine.OnKeyEvent(27, kPress);

    std::printf("typing state machine, per key event (target < 10000 ns):\n");
    std::printf("  idle                 %8.1f ns\n", idle);
    std::printf("  typing a line        %8.1f ns  (%zu events, %zu characters handed over)\n", typing, events,
                workers.characters);
    std::printf("  line at 1199 chars   %8.1f ns\n", full);
    return 0;
}
