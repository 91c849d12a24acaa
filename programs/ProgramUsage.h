#pragma once

#include <map>
#include <mutex>
#include <string>

class IFileStore;

// How often each program of the Start menu was started from the launcher,
// so that programs rank by use like commands. Kept in a small file of its
// own beside the program ("Programs.data"), never in the catalogue file.
// Thread-safe: counted on the thread that starts a program, read by the
// programs' thread when it publishes a new list.
class ProgramUsage {
public:
    enum class LoadOutcome {
        Loaded,
        Missing,    // no file yet: every count is 0
        Damaged,    // set aside (keptAsidePath), counts start from 0
        Unreadable, // left alone and never replaced in this run
    };
    struct LoadResult {
        LoadOutcome outcome = LoadOutcome::Missing;
        std::wstring keptAsidePath; // empty when it could not be moved
    };

    static constexpr const wchar_t* kFileName = L"Programs.data";

    // `files` is used under the object's own guard.
    ProgramUsage(IFileStore& files, std::wstring path);

    LoadResult Load();
    int TimesStarted(const std::wstring& key) const;
    // Adds one start and returns the new count.
    int CountStart(const std::wstring& key);
    // Writes every count through a temporary file that replaces the file.
    // False (with error) when it could not be written, or when the file is
    // one this run could not read.
    bool Save(std::wstring* error = nullptr);

    // The file's bytes: a header line, then a line per program, "count key",
    // as UTF-16LE units.
    static std::string Encode(const std::map<std::wstring, int>& counts);
    static bool Decode(const std::string& bytes, std::map<std::wstring, int>& counts);

private:
    IFileStore& files_;
    const std::wstring path_;
    mutable std::mutex guard_;
    std::map<std::wstring, int> counts_; // by folded key
    bool mayWrite_ = true;
    // One save at a time: they share the temporary file.
    std::mutex saving_;
};
