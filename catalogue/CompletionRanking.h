#pragma once

#include "catalogue/QuorvallisCommand.h"

#include <cstdint>
#include <string>
#include <vector>

// The completion's view of the shortcut index: its shortcuts laid out flat
// in their sorted order, with a tree that holds the most run command of
// every span. The shortcuts a typed word starts lie side by side, so its
// completion costs two binary searches and a walk up the tree, however many
// shortcuts start with it. Counts are copied in; whoever knows they changed
// calls Recount.
class CompletionRanking {
public:
    struct Entry {
        std::wstring folded;  // the shortcut as lookups fold it
        CommandPtr command;
        std::uint64_t place;  // its place in the catalogue's list
    };

    // Entries sorted by folded shortcut, then place.
    void Reset(std::vector<Entry> entries);
    // Reads every command's count again.
    void Recount();
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
    void BuildTree();

    std::vector<Entry> entries_;
    // Leaves at entries_.size() + i; each inner node the better of its two
    // children.
    std::vector<Rank> tree_;
};
