#pragma once

#include "catalogue/MatchRow.h"

#include <cstddef>
#include <string>
#include <vector>

// A source of matches beside the catalogue's commands (the Start menu's
// programs), ranked by the same rules so that its rows merge with theirs.
// Asked on the keyboard's thread: it answers from memory, never from files.
class IMatchSource {
public:
    virtual ~IMatchSource() = default;
    // Its best `limit` rows for the typed word, best first.
    virtual std::vector<MatchRow> Matches(const std::wstring& word, std::size_t limit) = 0;
    // Runs one of its rows with the rest of the typed line; false when it
    // could not be started.
    virtual bool Run(const MatchRow& row, const std::wstring& arguments) = 0;
};
