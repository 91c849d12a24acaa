#pragma once

#include "catalogue/StepType.h"

#include <string>
#include <vector>

// One step of a command. Shared between a command and its copies, so a step
// that is in use is never changed in place: editors replace it.
class QuorvallisScriptStep {
public:
    // Used when reading the catalogue file: type, key and modifiers are 0.
    QuorvallisScriptStep();
    explicit QuorvallisScriptStep(int id);
    virtual ~QuorvallisScriptStep() = default;

    int id = 0;
    StepType type = static_cast<StepType>(0);
    int pauseMs = -1;
    unsigned virtualKey = 0;
    unsigned modifiers = 0;
    std::wstring text;
    std::vector<std::wstring> extraStrings;
};
