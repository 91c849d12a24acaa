#pragma once

#include <vector>

class QuorvallisCommand;

// One row of the script editor's step list: the id of the step it shows,
// whether it is selected, and whether it holds the list's focus and its
// selection mark (where Shift+arrow extends from). A move carries all of it
// with the row.
struct StepRow {
    int stepId = 0;
    bool selected = false;
    bool focused = false;
    bool marked = false;
};

// Moves the selected rows of the step list together with their steps in the
// working command. A row moves only when its step moved, so the list and the
// steps never disagree; a selected row stays when its neighbour in the
// direction of the move is selected and stays (a block at the edge keeps its
// order). Each returns whether any row moved.
class StepRows {
public:
    // One place up, each selected row from the top down.
    static bool MoveUp(std::vector<StepRow>& rows, QuorvallisCommand& command);
    // One place down, each selected row from the bottom up.
    static bool MoveDown(std::vector<StepRow>& rows, QuorvallisCommand& command);
    // The selected rows to the top, in their previous relative order.
    static bool MoveToTop(std::vector<StepRow>& rows, QuorvallisCommand& command);
    // The selected rows to the bottom, in their previous relative order.
    static bool MoveToBottom(std::vector<StepRow>& rows, QuorvallisCommand& command);
};
