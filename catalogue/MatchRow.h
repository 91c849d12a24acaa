#pragma once

#include "catalogue/MatchRanking.h"
#include "catalogue/QuorvallisCommand.h"

#include <cstddef>
#include <string>
#include <vector>

// One row of the list of matches, as the list shows it and as Enter runs it.
struct MatchRow {
    MatchKind kind = MatchKind::Command;
    RankedMatch rank; // where it stands, to merge rows of several sources
    std::wstring name;
    std::wstring shortcut;
    // The name's letters the word matched, ascending, and how many leading
    // letters of the shortcut it matched; what the list makes stand out.
    std::vector<std::size_t> nameLetters;
    std::size_t shortcutLetters = 0;
    // Its picture: a command's place in the icon set (-1 none); anything
    // else names the file its icon is read from.
    int iconIndex = -1;
    std::wstring iconFile;
    // The command it runs (kind Command).
    CommandPtr command;
};
