#pragma once

#include "platform/GuardedCall.h"

#include <functional>
#include <utility>

// Starts `work` on a thread of its own that nobody waits for. A small stack
// reservation matters under Wine, where a thread's default stack costs a
// megabyte that stays; 0 takes the program's default. What `work` throws
// is caught and reported as `what`, and so is a failure to hand it over.
// False when the thread did not start: `work` never runs then.
bool StartDetachedThreadOf(const char* what, unsigned stackReservation, std::function<void()> work);

template <typename Work>
bool StartDetachedThread(const char* what, unsigned stackReservation, Work&& work) noexcept
{
    return GuardedCall(what, false, [&] {
        return StartDetachedThreadOf(what, stackReservation, std::function<void()>(std::forward<Work>(work)));
    });
}
