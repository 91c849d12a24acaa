#include "platform/StopSignal.h"

#include <chrono>

void StopSignal::Request()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        requested_ = true;
    }
    changed_.notify_all();
}

bool StopSignal::WaitFor(int milliseconds) const
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (milliseconds > 0)
        changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return requested_.load(); });
    return requested_.load();
}
