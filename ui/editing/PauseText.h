#pragma once

#include "exec/StepExecutor.h"

#include <string>

// The value of a "Pause (ms)" step. The executor refuses pauses outside its
// range, and a refused step ends its script silently, so the editor takes
// only what can run.
class PauseText {
public:
    static constexpr int kShortest = StepExecutor::kShortestPauseMs;
    static constexpr int kLongest = StepExecutor::kLongestPauseMs;

    // The typed text as a pause: decimal digits only, between kShortest and
    // kLongest. False for anything else; *milliseconds is then unchanged.
    static bool Read(const std::wstring& typed, int* milliseconds);
    // The step's text: "Pause ", the number exactly as typed, " ms".
    static std::wstring For(const std::wstring& typed);
};
