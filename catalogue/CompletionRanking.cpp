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
    Recount();
}

void CompletionRanking::Insert(Entry entry)
{
    const auto at = std::upper_bound(entries_.begin(), entries_.end(), entry, [](const Entry& a, const Entry& b) {
        return *a.folded < *b.folded || (*a.folded == *b.folded && a.place < b.place);
    });
    counts_.insert(counts_.begin() + (at - entries_.begin()), entry.command->timesExecuted.get());
    entries_.insert(at, std::move(entry));
    treeStale_ = true;
}

void CompletionRanking::Erase(const std::wstring& folded, const CommandPtr& command)
{
    const auto at = Find(folded, command);
    if (at == entries_.end())
        return;
    counts_.erase(counts_.begin() + (at - entries_.begin()));
    entries_.erase(at);
    treeStale_ = true;
}

void CompletionRanking::Recount()
{
    counts_.resize(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i)
        counts_[i] = entries_[i].command->timesExecuted.get();
    treeStale_ = true;
}

void CompletionRanking::Recount(const std::wstring& folded, const CommandPtr& command)
{
    const auto at = Find(folded, command);
    if (at == entries_.end())
        return;
    const std::size_t n = entries_.size();
    const std::size_t entry = static_cast<std::size_t>(at - entries_.begin());
    counts_[entry] = command->timesExecuted.get();
    if (treeStale_)
        return;
    tree_[n + entry].count = counts_[entry];
    for (std::size_t node = (n + entry) / 2; node >= 1; node /= 2)
        tree_[node] = Better(tree_[2 * node], tree_[2 * node + 1]);
}

std::vector<CompletionRanking::Entry>::const_iterator CompletionRanking::FirstFrom(const std::wstring& folded) const
{
    return std::lower_bound(entries_.begin(), entries_.end(), folded,
                            [](const Entry& entry, const std::wstring& key) { return *entry.folded < key; });
}

std::vector<CompletionRanking::Entry>::const_iterator CompletionRanking::Find(const std::wstring& folded,
                                                                              const CommandPtr& command) const
{
    for (auto it = FirstFrom(folded); it != entries_.end() && *it->folded == folded; ++it) {
        if (it->command == command)
            return it;
    }
    return entries_.end();
}

void CompletionRanking::BuildTree() const
{
    const std::size_t n = entries_.size();
    tree_.resize(2 * n);
    for (std::size_t i = 0; i < n; ++i)
        tree_[n + i] = Rank{counts_[i], entries_[i].place, i};
    for (std::size_t i = n; i-- > 1;)
        tree_[i] = Better(tree_[2 * i], tree_[2 * i + 1]);
    treeStale_ = false;
}

CommandPtr CompletionRanking::Best(const std::wstring& folded) const
{
    const auto first = FirstFrom(folded);
    // Every shortcut that starts with the word sorts right after it.
    const auto last = std::partition_point(first, entries_.end(), [&folded](const Entry& entry) {
        return entry.folded->compare(0, folded.size(), folded) == 0;
    });
    if (first == last)
        return CommandPtr();
    if (treeStale_)
        BuildTree();
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
