#include "ui/controls/AnchoredResize.h"

void AnchoredResize::Record(HWND dialog, const std::vector<Anchor>& anchors, SIZE laidOutFor)
{
    dialog_ = dialog;
    client_ = laidOutFor;
    entries_.clear();
    for (const Anchor& anchor : anchors) {
        HWND control = GetDlgItem(dialog, anchor.controlId);
        if (!control)
            continue;
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        entries_.push_back(Entry{control, anchor.rule, rect});
    }
}

RECT AnchoredResize::Place(const RECT& rect, Rule rule, int dx, int dy)
{
    RECT placed = rect;
    switch (rule) {
    case Rule::MoveDown: OffsetRect(&placed, 0, dy); break;
    case Rule::MoveDownRight: OffsetRect(&placed, dx, dy); break;
    case Rule::Grow:
        placed.right += dx;
        placed.bottom += dy;
        break;
    }
    return placed;
}

void AnchoredResize::Apply(int clientWidth, int clientHeight) const
{
    if (!dialog_ || entries_.empty())
        return;
    const int dx = clientWidth - client_.cx;
    const int dy = clientHeight - client_.cy;
    HDWP moves = BeginDeferWindowPos(static_cast<int>(entries_.size()));
    for (const Entry& entry : entries_) {
        if (!moves)
            return;
        const RECT placed = Place(entry.rect, entry.rule, dx, dy);
        // Moved controls keep their size (a combo box's is its closed height).
        const UINT size = entry.rule == Rule::Grow ? 0 : SWP_NOSIZE;
        moves = DeferWindowPos(moves, entry.control, nullptr, placed.left, placed.top, placed.right - placed.left,
                               placed.bottom - placed.top, SWP_NOZORDER | SWP_NOACTIVATE | size);
    }
    if (moves)
        EndDeferWindowPos(moves);
}
