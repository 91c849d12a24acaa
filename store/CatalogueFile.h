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
    std::wstring keptAsidePath;  // empty when the file could not be moved aside
    std::wstring error;          // what was wrong with a damaged file
};

// Reads "Preferences.data" into the catalogue; adopts it only when the whole
// file was read and is consistent.
LoadResult Load(const std::wstring& path, QuorvallisCommands& catalogue, IFileStore& files);

// Writes the catalogue to a temporary file beside path and replaces path with
// it; the previous file is kept as path + ".bak". False when anything failed;
// the old file is then untouched and error (if given) says what went wrong.
bool Save(const std::wstring& path, const QuorvallisCommands& catalogue, IFileStore& files,
          std::wstring* error = nullptr);

// Stores the "Auto-start with Windows" state and mirrors it into the Run value
// (the machine's Run key, else the user's). Returns the state that is in force
// afterwards (false when no key could be written), which is also what the
// catalogue's autoStart then holds.
bool SetAutoStart(bool enabled, QuorvallisCommands& catalogue, IRegistry& registry,
                  const std::wstring& programPath);

// The Run value's data for a program path: quoted when it holds blanks, so
// that the system does not cut it at the first one.
std::wstring AutoStartCommandLine(const std::wstring& programPath);

// The value name under the Run keys.
extern const wchar_t* const AutoStartValueName;
