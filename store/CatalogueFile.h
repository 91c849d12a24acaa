#pragma once

#include <string>

class QuorvallisCommands;
class IFileStore;
class IRegistry;

// How reading the catalogue file went.
enum class LoadOutcome {
    Loaded,   // the whole file was read and adopted
    Missing,  // no file (first start): the catalogue keeps its defaults
    Damaged,  // unreadable or damaged: the catalogue keeps what it had, and the
              // file was moved aside to keptAsidePath so no save overwrites it
};

struct LoadResult {
    LoadOutcome outcome = LoadOutcome::Missing;
    std::wstring keptAsidePath;
};

// Reads "Preferences.data" into the catalogue; adopts it only when the whole
// file was read and is consistent.
LoadResult Load(const std::wstring& path, QuorvallisCommands& catalogue, IFileStore& files);

// Writes the catalogue to a temporary file beside path and replaces path with
// it; the previous file is kept as path + ".bak". False when anything failed;
// the old file is then untouched.
bool Save(const std::wstring& path, const QuorvallisCommands& catalogue, IFileStore& files);

// Stores the "Auto-start with Windows" state and mirrors it into the Run value.
// Returns the state that is in force afterwards (false when no key could be written).
bool SetAutoStart(bool enabled, QuorvallisCommands& catalogue, IRegistry& registry,
                  const std::wstring& programPath);
