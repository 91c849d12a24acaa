#pragma once

#include <exception>
#include <utility>

// The guard of every place the system calls into the program (window and
// dialog procedures, subclass procedures, thread entries): nothing a handler
// throws may unwind through the system's frames. What is caught is reported,
// the first time at each place only, so that a handler failing on every
// paint does not flood the output, and the place answers its fallback.

// Where reports go: by default the standard error stream; the program sends
// them to the debugger output (OutputDebugString).
using EscapeReportSink = void (*)(const char* line);
void SetEscapeReportSink(EscapeReportSink sink) noexcept;

// Tells of an exception caught at `where` (once per place) and counts it.
void ReportEscapedException(const char* where, const char* what) noexcept;
// How many exceptions every guard caught so far.
int EscapedExceptionCount() noexcept;

// Runs `handler`; when it throws, reports it and answers `fallback`.
template <typename Result, typename Handler>
Result GuardedCall(const char* where, Result fallback, Handler&& handler) noexcept
{
    try {
        return std::forward<Handler>(handler)();
    } catch (const std::exception& failure) {
        ReportEscapedException(where, failure.what());
    } catch (...) {
        ReportEscapedException(where, "an exception of unknown type");
    }
    return fallback;
}

// Runs `handler`, which answers nothing; false when it threw (reported).
template <typename Handler>
bool GuardedRun(const char* where, Handler&& handler) noexcept
{
    return GuardedCall(where, false, [&] {
        std::forward<Handler>(handler)();
        return true;
    });
}
