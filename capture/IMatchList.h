#pragma once

#include "catalogue/MatchRow.h"

#include <cstddef>
#include <vector>

// The list of matches beside the popup. The state machine drives it only
// after the hook has its answer, never while a key waits.
class IMatchList {
public:
    virtual ~IMatchList() = default;
    // Shows these rows (at least one), `highlighted` standing out; a call
    // with what is shown already changes nothing.
    virtual void ShowRows(const std::vector<MatchRow>& rows, std::size_t highlighted) = 0;
    virtual void HideRows() = 0;
};
