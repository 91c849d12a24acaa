#pragma once

#include "catalogue/QuorvallisScriptStep.h"
#include "ui/editing/StepTypeTable.h"

#include <string>
#include <vector>

class IKeyNames;

// What the step editor shows when OK is pressed.
struct StepFormInput {
    // The selected item of the type list; null when none is selected (a
    // plugin step whose plugin is no longer loaded).
    const StepTypeChoice* choice = nullptr;
    // The value field's whole text; empty when the type has no field.
    std::wstring value;
    // The virtual key of the chosen "Or choose:" entry; -1 for "None".
    int quickKey = -1;
    // The hot-key control's value: low byte the key, high byte the modifiers.
    unsigned hotKey = 0;
};

// The step editor's rules: the "Or choose:" keys, what a stored step shows,
// and the check and read-back of OK.
class StepForm {
public:
    struct QuickKey {
        const wchar_t* label;
        int virtualKey;
    };

    // "None" (-1), "Enter", "Esc", "Space", "TAB", in this order.
    static const std::vector<QuickKey>& QuickKeys();
    // The entry that shows a stored "Send key" step: one of the keys above
    // pressed without modifiers. 0 ("None") for any other step, so that a
    // stored Ctrl+Enter is not turned into a plain Enter.
    static int QuickKeyIndexFor(const QuorvallisScriptStep& step);
    // The hot-key control's value for a stored "Send key" step (low byte the
    // key, high byte the modifiers); 0 when the step holds no key it can show.
    static unsigned HotKeyFor(const QuorvallisScriptStep& step);

    // OK: fills *step from the input and returns an empty text; or returns
    // the message to show and leaves *step as it was. With no type selected
    // the step keeps its type and text.
    static std::wstring Apply(const StepFormInput& input, const IKeyNames& names, QuorvallisScriptStep* step);
};
