#pragma once

#include "catalogue/QuorvallisCommand.h"

#include <cstdint>
#include <string>
#include <vector>

// The completion's view of the shortcut index: its entries laid out flat in
// their sorted order, with a tree that holds the most run command of every
// span. The shortcuts a typed word starts lie side by side, so its
// completion costs two binary searches and a walk up the tree, however many
// shortcuts start with it. Entries point into the index, which therefore
// must not change while they are used; counts are copied in.
class CompletionRanking {
public:
    struct Entry {
        const std::wstring* folded;  // the shortcut as lookups fold it
        const CommandPtr* command;
        std::uint64_t place;         // its place in the catalogue's list
    };

    // Entries sorted by folded shortcut, then place.
    void Reset(std::vector<Entry> entries);
    // Reads every command's count again.
    void Recount();
    // Reads one command's count again.
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
    Rank LeafOf(std::size_t entry) const;
    std::vector<Entry>::const_iterator FirstFrom(const std::wstring& folded) const;

    std::vector<Entry> entries_;
    // Leaves at entries_.size() + i; each inner node the better of its two
    // children.
    std::vector<Rank> tree_;
};
