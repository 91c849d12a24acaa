#pragma once

#include <chrono>
#include <functional>
#include <thread>

// Polls `condition` every 100 ms until it holds; false when it still does not
// after `timeoutMs`. Desktop tests wait for what they expect to see, never
// for a fixed time.
inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 10000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}
