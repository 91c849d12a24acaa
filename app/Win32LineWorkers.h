#pragma once

#include "exec/IKeystrokePlayer.h"
#include "platform/ILineWorkers.h"

#include <boost/shared_ptr.hpp>

#include <cstddef>
#include <functional>
#include <memory>

class IKeyboardOutput;
class QuorvallisCommands;
class StopSignal;

// Runs each typed line on a detached thread of its own with a small stack.
// The thread gets a hand-over block (a reference to the catalogue and the
// line in a fixed buffer) and frees it when the line has run. At shutdown
// StopRunningLines asks the lines still running to stop.
class Win32LineWorkers : public ILineWorkers {
public:
    // Makes the keystroke player of one run (the program gives a KeystrokePlayer),
    // which should send its key events through `keyboard` (the run's, whose
    // keys are let go of at exit) and stop once `stop` is asked to.
    using PlayerFactory = std::function<std::unique_ptr<IKeystrokePlayer>(IKeyboardOutput& keyboard, StopSignal& stop)>;

    static constexpr std::size_t kLineBufferSize = 1200; // longest line: 1199 characters
    static constexpr unsigned kStackReservation = 0x20000;

    // Keystroke texts are played by a KeystrokePlayer through keybd_event.
    explicit Win32LineWorkers(boost::shared_ptr<QuorvallisCommands> catalogue);
    Win32LineWorkers(boost::shared_ptr<QuorvallisCommands> catalogue, PlayerFactory players);

    // Longer lines are cut to 1199 characters. Refused once the lines were
    // asked to stop.
    bool Start(const std::wstring& line) override;

    // Asks every running keystroke player to stop (its waits end at once and
    // it lets go of the keys it holds) and waits for the lines to end, at
    // most waitMs. Then lets go of every key a line still holds (one
    // inside a beep or an activation outlasts the wait), and no key goes
    // down after. True when no line is left running.
    bool StopRunningLines(unsigned waitMs);

    struct Running;

private:
    static unsigned __stdcall RunLine(void* handOver);

    boost::shared_ptr<QuorvallisCommands> catalogue_;
    PlayerFactory players_;
    // Shared with the threads, which may outlive this object.
    std::shared_ptr<Running> running_;
};
