#pragma once

#include <windows.h>

#include <vector>

// Keeps the controls of a resizable dialog where its layout wants them: each
// control recorded with a rule keeps its distance to the edges the rule
// names, measured from where it stood when it was recorded.
class AnchoredResize {
public:
    enum class Rule {
        MoveDown,      // keeps its distance to the bottom edge
        MoveDownRight, // keeps its distances to the bottom and the right edge
        Grow,          // keeps its distances to all four edges
    };

    struct Anchor {
        int controlId;
        Rule rule;
    };

    // Records where the controls of `dialog` stand now, laid out for a client
    // area of `laidOutFor` (which the window may not have been given: a
    // screen smaller than the template makes it smaller at once).
    void Record(HWND dialog, const std::vector<Anchor>& anchors, SIZE laidOutFor);
    // Moves the recorded controls for a client area of the given size.
    void Apply(int clientWidth, int clientHeight) const;
    bool recorded() const { return dialog_ != nullptr; }

    // Where a control recorded at `rect` stands once the client area grew by
    // dx and dy (negative when it shrank).
    static RECT Place(const RECT& rect, Rule rule, int dx, int dy);

private:
    struct Entry {
        HWND control;
        Rule rule;
        RECT rect;
    };

    HWND dialog_ = nullptr;
    SIZE client_{0, 0};
    std::vector<Entry> entries_;
};
