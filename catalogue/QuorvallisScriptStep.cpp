#include "catalogue/QuorvallisScriptStep.h"

// A step read from the file gets its key fields from the file; 0 until then.
QuorvallisScriptStep::QuorvallisScriptStep() = default;

// A new step has no key to send yet: 0xFFFF marks "none chosen".
QuorvallisScriptStep::QuorvallisScriptStep(int stepId) : id(stepId), virtualKey(0xFFFF), modifiers(0xFFFF)
{
}
