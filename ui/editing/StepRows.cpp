#include "ui/editing/StepRows.h"

#include "catalogue/QuorvallisCommand.h"

#include <algorithm>

namespace {

using Index = std::vector<StepRow>::difference_type;

} // namespace

bool StepRows::MoveUp(std::vector<StepRow>& rows, QuorvallisCommand& command)
{
    bool moved = false;
    for (size_t i = 1; i < rows.size(); ++i) {
        // A selected row above has stayed (one that moved left an unselected
        // row behind): this one stays below it.
        if (!rows[i].selected || rows[i - 1].selected)
            continue;
        if (!command.MoveStepUp(rows[i].stepId))
            continue;
        std::swap(rows[i], rows[i - 1]);
        moved = true;
    }
    return moved;
}

bool StepRows::MoveDown(std::vector<StepRow>& rows, QuorvallisCommand& command)
{
    bool moved = false;
    for (size_t i = rows.size(); i-- > 1;) {
        const size_t row = i - 1;
        if (!rows[row].selected || rows[row + 1].selected)
            continue;
        if (!command.MoveStepDown(rows[row].stepId))
            continue;
        std::swap(rows[row], rows[row + 1]);
        moved = true;
    }
    return moved;
}

bool StepRows::MoveToTop(std::vector<StepRow>& rows, QuorvallisCommand& command)
{
    // The last selected row goes first, so that the first ends on top.
    bool moved = false;
    for (size_t i = rows.size(), done = 0; i-- > done;) {
        if (!rows[i].selected)
            continue;
        if (!command.MoveStepToTop(rows[i].stepId))
            continue;
        std::rotate(rows.begin(), rows.begin() + static_cast<Index>(i), rows.begin() + static_cast<Index>(i) + 1);
        // The row now on top must not be looked at again; the walk goes on
        // where the moved row was, which now holds the row above it.
        ++i;
        ++done;
        moved = true;
    }
    return moved;
}

bool StepRows::MoveToBottom(std::vector<StepRow>& rows, QuorvallisCommand& command)
{
    bool moved = false;
    size_t end = rows.size();
    for (size_t i = 0; i < end;) {
        if (!rows[i].selected || !command.MoveStepToBottom(rows[i].stepId)) {
            ++i;
            continue;
        }
        std::rotate(rows.begin() + static_cast<Index>(i), rows.begin() + static_cast<Index>(i) + 1, rows.end());
        // The row below moved into place i; the moved row is not looked at again.
        --end;
        moved = true;
    }
    return moved;
}
