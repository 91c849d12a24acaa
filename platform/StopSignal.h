#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

// Asks work on other threads to stop, once and for good: a loop polls
// Requested(), and a wait through WaitFor ends the moment a stop is asked
// for. Used at shutdown, so that a keystroke player in a long delay lets go
// of its keys at once.
class StopSignal {
public:
    void Request();
    bool Requested() const { return requested_.load(); }
    // Waits the given milliseconds, or less when a stop is asked for; true
    // when it was.
    bool WaitFor(int milliseconds) const;

private:
    std::atomic<bool> requested_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
};
