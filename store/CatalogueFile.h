#pragma once

#include <string>

class QuorvallisCommands;
class IFileStore;
class IRegistry;

// How reading the catalogue file went.
enum class LoadOutcome {
    Loaded,     // the whole file was read and adopted
    Missing,    // no file (first start): the catalogue keeps its defaults
    Damaged,    // read but damaged: the catalogue keeps what it had, and the
                // file was moved aside to keptAsidePath (when it could be)
    Unreadable, // there but not readable (held open by another program, no
                // access): the catalogue keeps what it had, the file stays
};

struct LoadResult {
    LoadOutcome outcome = LoadOutcome::Missing;
    std::wstring keptAsidePath; // empty when the file could not be moved aside
    std::wstring error;         // what was wrong with the file
    // Where saves go from now on: the file itself once it was read, found
    // missing or moved aside; otherwise a file beside it that no earlier run
    // saved to (path + ".new", ".new2"...), so that neither a file that may
    // hold the user's catalogue nor what such a run saved is replaced unread.
    std::wstring savePath;
    // Records given a fresh id because an earlier one of their kind had
    // theirs (a loaded file only).
    int renumbered = 0;
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
bool SetAutoStart(bool enabled, QuorvallisCommands& catalogue, IRegistry& registry, const std::wstring& programPath);

// The Run value's data for a program path: quoted when it holds blanks, so
// that the system does not cut it at the first one.
std::wstring AutoStartCommandLine(const std::wstring& programPath);

// The value name under the Run keys.
extern const wchar_t* const AutoStartValueName;
