#include "catalogue/CompletionRanking.h"

#include <algorithm>

const CompletionRanking::Rank& CompletionRanking::Better(const Rank& a, const Rank& b)
{
    if (a.count != b.count)
        return a.count > b.count ? a : b;
    return a.place <= b.place ? a : b;
}

CompletionRanking::Rank CompletionRanking::LeafOf(std::size_t entry) const
{
    return Rank{(*entries_[entry].command)->timesExecuted.get(), entries_[entry].place, entry};
}

void CompletionRanking::Reset(std::vector<Entry> entries)
{
    entries_ = std::move(entries);
    Recount();
}

void CompletionRanking::Recount()
{
    const std::size_t n = entries_.size();
    tree_.resize(2 * n);
    for (std::size_t i = 0; i < n; ++i)
        tree_[n + i] = LeafOf(i);
    for (std::size_t i = n; i-- > 1;)
        tree_[i] = Better(tree_[2 * i], tree_[2 * i + 1]);
}

void CompletionRanking::Recount(const std::wstring& folded, const CommandPtr& command)
{
    for (auto it = FirstFrom(folded); it != entries_.end() && *it->folded == folded; ++it) {
        if (*it->command != command)
            continue;
        const std::size_t n = entries_.size();
        std::size_t node = n + static_cast<std::size_t>(it - entries_.begin());
        tree_[node] = LeafOf(node - n);
        for (node /= 2; node >= 1; node /= 2)
            tree_[node] = Better(tree_[2 * node], tree_[2 * node + 1]);
        return;
    }
}

std::vector<CompletionRanking::Entry>::const_iterator CompletionRanking::FirstFrom(const std::wstring& folded) const
{
    return std::lower_bound(entries_.begin(), entries_.end(), folded,
                            [](const Entry& entry, const std::wstring& key) { return *entry.folded < key; });
}

CommandPtr CompletionRanking::Best(const std::wstring& folded) const
{
    const auto first = FirstFrom(folded);
    // Every shortcut that starts with the word sorts right after it.
    const auto last = std::partition_point(
        first, entries_.end(), [&folded](const Entry& entry) { return entry.folded->compare(0, folded.size(), folded) == 0; });
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
    return *entries_[best->entry].command;
}
