#include "catalogue/CompletionRanking.h"

#include <algorithm>

const CompletionRanking::Rank& CompletionRanking::Better(const Rank& a, const Rank& b)
{
    if (a.count != b.count)
        return a.count > b.count ? a : b;
    return a.place <= b.place ? a : b;
}

void CompletionRanking::Reset(std::vector<Entry> entries)
{
    entries_ = std::move(entries);
    BuildTree();
}

void CompletionRanking::Recount()
{
    BuildTree();
}

void CompletionRanking::BuildTree()
{
    const std::size_t n = entries_.size();
    tree_.assign(2 * n, Rank{0, 0, 0});
    for (std::size_t i = 0; i < n; ++i)
        tree_[n + i] = Rank{entries_[i].command->timesExecuted.get(), entries_[i].place, i};
    for (std::size_t i = n; i-- > 1;)
        tree_[i] = Better(tree_[2 * i], tree_[2 * i + 1]);
}

CommandPtr CompletionRanking::Best(const std::wstring& folded) const
{
    const auto startsWith = [&folded](const Entry& entry) { return entry.folded.compare(0, folded.size(), folded) == 0; };
    const auto first = std::lower_bound(entries_.begin(), entries_.end(), folded,
                                        [](const Entry& entry, const std::wstring& key) { return entry.folded < key; });
    // Every shortcut that starts with the word sorts right after it.
    const auto last = std::partition_point(first, entries_.end(), startsWith);
    if (first == last)
        return CommandPtr();
    const std::size_t n = entries_.size();
    const Rank* best = nullptr;
    const auto take = [&best](const Rank& rank) { best = best ? &Better(*best, rank) : &rank; };
    for (std::size_t lo = (first - entries_.begin()) + n, hi = (last - entries_.begin()) + n; lo < hi;
         lo /= 2, hi /= 2) {
        if (lo & 1)
            take(tree_[lo++]);
        if (hi & 1)
            take(tree_[--hi]);
    }
    return entries_[best->entry].command;
}
