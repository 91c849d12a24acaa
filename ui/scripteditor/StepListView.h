#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "catalogue/QuorvallisCommand.h"
#include "ui/editing/StepRows.h"

// The script editor's step list: one row per step, in step order. Column 0
// shows the type's text and picture and carries the step's id as item
// data; column 1 shows the step's text. Rows with an even index are shaded.
class StepListView {
public:
    // Sets up the list of a template: styles, image list, the two columns.
    bool Attach(HWND dialog, int controlId, HIMAGELIST images);
    HWND hwnd() const { return window_; }

    // One row per step of the command, replacing every row.
    void Fill(const QuorvallisCommand& command);
    void Append(const QuorvallisScriptStep& step);
    // Rewrites row `row` to show `step`.
    void Write(int row, const QuorvallisScriptStep& step);
    void Remove(int row);

    int Count() const;
    bool IsSelected(int row) const;
    // The lowest selected row, or -1.
    int FirstSelected() const;
    int StepIdAt(int row) const;

    // The rows as the moves of StepRows take them.
    std::vector<StepRow> Rows() const;
    // Shows `rows` (after a move): every row whose step or selection changed
    // is rewritten from the command's step with that id; the focus and the
    // selection mark go to the rows that hold them.
    void Show(const std::vector<StepRow>& rows, const QuorvallisCommand& command);

    // Answers the list's custom-draw notification: shades even rows.
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw) const;

private:
    void WriteCells(int row, const QuorvallisScriptStep& step, bool insert);
    void SetSelected(int row, bool selected);

    HWND window_ = nullptr;
};
