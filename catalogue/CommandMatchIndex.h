#pragma once

#include "catalogue/MatchRanking.h"
#include "catalogue/MatchRow.h"
#include "catalogue/QuorvallisCommand.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The catalogue's commands as candidates for the list of matches: names and
// shortcuts folded once, so that a key costs one pass over flat records.
// Kept in step by the catalogue like its search index: an appended command
// is added, any other change makes the candidates again at the next use.
// Counts are read again after any count changed (the caller's tally of changes).
class CommandMatchIndex {
public:
    // The best `limit` rows for the word, best first.
    std::vector<MatchRow> Rows(const std::vector<CommandPtr>& commands, const std::wstring& word, std::size_t limit,
                               std::uint64_t countChanges);
    void Appended(const CommandPtr& command);
    void Invalidate() { valid_ = false; }

private:
    void Rebuild(const std::vector<CommandPtr>& commands);
    void Add(const CommandPtr& command);

    std::vector<MatchCandidate> candidates_;
    bool valid_ = false;
    std::uint64_t countChanges_ = 0;
    std::uint64_t nextOrder_ = 0;
};
