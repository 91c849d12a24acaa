#pragma once

#include "catalogue/QuorvallisCommand.h"

#include <cstdint>
#include <string>
#include <vector>

// The completion's view of the shortcut index: its entries laid out flat in
// their sorted order, with a tree that holds the most run command of every
// span. The shortcuts a typed word starts lie side by side, so its
// completion costs two binary searches and a walk up the tree, however many
// shortcuts start with it. The folded shortcuts point at the index's keys;
// the counts are copied in, so whoever changes one tells the ranking.
class CompletionRanking {
public:
    struct Entry {
        const std::wstring* folded; // the shortcut as lookups fold it
        CommandPtr command;
        std::uint64_t place; // its place in the catalogue's list
    };

    // Entries sorted by folded shortcut, then place.
    void Reset(std::vector<Entry> entries);
    // Adds one entry in its place, or takes one away.
    void Insert(Entry entry);
    void Erase(const std::wstring& folded, const CommandPtr& command);
    // Reads every command's count again, or one command's.
    void Recount();
    void Recount(const std::wstring& folded, const CommandPtr& command);
    // The most run command, then the first in the list, among the entries
    // whose folded shortcut starts with `folded`; null when there is none.
    CommandPtr Best(const std::wstring& folded) const;

private:
    struct Rank {
        int count;
        std::uint64_t place;
        std::size_t entry;
    };
    static const Rank& Better(const Rank& a, const Rank& b);
    std::vector<Entry>::const_iterator FirstFrom(const std::wstring& folded) const;
    // The entry of this command, or end().
    std::vector<Entry>::const_iterator Find(const std::wstring& folded, const CommandPtr& command) const;
    void BuildTree() const;

    std::vector<Entry> entries_;
    std::vector<int> counts_; // per entry, as last read
    // Leaves at entries_.size() + i; each inner node the better of its two
    // children. Built again before a search after entries came or went.
    mutable std::vector<Rank> tree_;
    mutable bool treeStale_ = true;
};
