#include "exec/HeldKeysOutput.h"
#include "exec/KeySender.h"
#include "exec/KeystrokePlayer.h"
#include "tests/exec/RecordingKeyboardOutput.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(KeySender, PlaysEveryKindOfActionThroughThePlatform)
{
    RecordingKeyboardOutput output;
    KeySender sender(output);
    EXPECT_TRUE(sender.SendKeys(L"+a{DELAY 5}{LEFT}{BEEP 440 10}{APPACTIVATE Probe}{NUMLOCK}~"));
    EXPECT_EQ(output.calls, "d16 d65 u65/3 u16/2 s5 d37/1 u37/3 b440,10 a[Probe] n d13 u13/3");
    EXPECT_FALSE(output.AnyKeyDown());
}

TEST(KeySender, DelaysComeFromTheCallerAndTheText)
{
    RecordingKeyboardOutput output;
    KeySender sender(output);
    sender.defaultDelay = 20;
    sender.pendingDelay = 7;
    EXPECT_TRUE(sender.SendKeys(L"ab"));
    EXPECT_EQ(output.calls, "s7 d65 u65/3 s20 d66 u66/3");
}

TEST(KeySender, BrokenTextTypesNothing)
{
    const std::wstring tooLong = L"{" + std::wstring(300, L'x') + L"}";
    for (const std::wstring& text :
         std::vector<std::wstring>{L"+abc" + tooLong, L"ab" + tooLong.substr(0, 301), tooLong}) {
        RecordingKeyboardOutput output;
        KeySender sender(output);
        EXPECT_FALSE(sender.SendKeys(text));
        EXPECT_EQ(output.calls, "");
    }
}

// However a playback ends, no key it pressed stays down.
TEST(KeySender, StopRequestReleasesHeldKeys)
{
    RecordingKeyboardOutput output;
    KeySender sender(output);
    output.beforeKeyEvent = [&](const std::string& event) {
        if (event == "d66")
            sender.RequestStop();
    };
    EXPECT_FALSE(sender.SendKeys(L"^+(abc)"));
    EXPECT_EQ(output.calls, "d17 d16 d65 u65/3 d66 u16/2 u17/2 u66/3");
    EXPECT_FALSE(output.AnyKeyDown());
}

// At shutdown a playback in a long delay is asked to stop: the delay ends at
// once and the held Ctrl goes up; the key after the delay is never typed.
TEST(KeySender, AStopEndsADelayAtOnceAndReleasesHeldKeys)
{
    struct WaitingOutput : RecordingKeyboardOutput {
        StopSignal* stop = nullptr;
        std::atomic<bool> waiting{false};
        void Sleep(int ms) override
        {
            RecordingKeyboardOutput::Sleep(ms);
            waiting = true;
            stop->WaitFor(ms);
        }
    } output;
    StopSignal stop;
    output.stop = &stop;
    KeystrokePlayer player(output, &stop);
    bool played = true;
    std::thread playback([&] { played = player.Play(L"^{DELAY 600000}c"); });
    while (!output.waiting)
        std::this_thread::yield();
    stop.Request();
    playback.join();
    EXPECT_FALSE(played);
    EXPECT_EQ(output.calls, "d17 s600000 u17/2");
    EXPECT_FALSE(output.AnyKeyDown());
    // Once stopped, nothing more is played.
    EXPECT_FALSE(player.Play(L"x"));
    EXPECT_EQ(output.calls, "d17 s600000 u17/2");
}

// At exit a playback may be inside a call that no stop ends (a beep, a window
// that does not answer): its keys are let go of from outside, and no key
// goes down after, when the call returns.
TEST(KeySender, KeysHeldInABeepAreReleasedFromAnotherThread)
{
    struct BeepingOutput : RecordingKeyboardOutput {
        std::atomic<bool> beeping{false}, beepEnds{false};
        void Beep(int frequency, int ms) override
        {
            RecordingKeyboardOutput::Beep(frequency, ms);
            beeping = true;
            while (!beepEnds)
                std::this_thread::yield();
        }
    } output;
    HeldKeys held;
    HeldKeysOutput playerOutput(output, held);
    KeySender sender(playerOutput);
    std::thread playback([&] { sender.SendKeys(L"^{BEEP 440 60000}c+d"); });
    while (!output.beeping)
        std::this_thread::yield();
    held.ReleaseAll(output);
    EXPECT_EQ(output.calls, "d17 b440,60000 u17/2");
    output.beepEnds = true;
    playback.join();
    EXPECT_EQ(output.calls, "d17 b440,60000 u17/2");
    EXPECT_FALSE(output.AnyKeyDown());
}

TEST(KeySender, RefusedReleaseIsTriedAgainAtTheEnd)
{
    RecordingKeyboardOutput output;
    bool refusedOnce = false;
    output.refuse = [&](const std::string& event) {
        if (event == "u16/2" && !refusedOnce)
            return refusedOnce = true;
        return false;
    };
    KeySender sender(output);
    EXPECT_TRUE(sender.SendKeys(L"+ab"));
    EXPECT_EQ(output.calls, "d16 d65 u65/3 u16/2! d66 u66/3 u16/2");
    EXPECT_FALSE(output.AnyKeyDown());
}

TEST(KeySender, RefusedPressIsNotReleased)
{
    RecordingKeyboardOutput output;
    output.refuse = [](const std::string& event) { return event == "d17"; };
    KeySender sender(output);
    EXPECT_TRUE(sender.SendKeys(L"^a"));
    EXPECT_EQ(output.calls, "d17! d65 u65/3 u17/2");
}

TEST(KeySender, FailingPlatformCallReleasesHeldKeys)
{
    RecordingKeyboardOutput output;
    output.beforeKeyEvent = [](const std::string& event) {
        if (event == "d66")
            throw std::runtime_error("keyboard gone");
    };
    KeySender sender(output);
    EXPECT_FALSE(sender.SendKeys(L"%+(ab)"));
    EXPECT_EQ(output.calls, "d18 d16 d65 u65/3 u16/2 u18/2");
    EXPECT_FALSE(output.AnyKeyDown());
}

TEST(KeystrokePlayer, EachPlayStartsWithoutDelays)
{
    RecordingKeyboardOutput output;
    KeystrokePlayer player(output);
    EXPECT_TRUE(player.Play(L"{DELAY=100}{DELAY 50}a"));
    EXPECT_TRUE(player.Play(L"b"));
    EXPECT_EQ(output.calls, "s50 d65 u65/3 d66 u66/3");
    EXPECT_FALSE(player.Play(L"c{" + std::wstring(300, L'x')));
    EXPECT_EQ(output.calls, "s50 d65 u65/3 d66 u66/3");
    // Unclosed: the brace takes the rest of the text, and nothing breaks.
    EXPECT_TRUE(player.Play(L"c{BEEP"));
    EXPECT_EQ(output.calls, "s50 d65 u65/3 d66 u66/3 d67 u67/3");
    EXPECT_TRUE(player.Play(L""));
}

} // namespace
