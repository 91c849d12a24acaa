#pragma once

#include <string>

// Whole-file access by wide path, for the catalogue file. Each operation
// reports failure by its result; LastError() then tells why, in words.
class IFileStore {
public:
    enum class ReadResult { Read, Missing, Failed };

    virtual ~IFileStore() = default;

    virtual ReadResult ReadAll(const std::wstring& path, std::string& bytes) = 0;
    // Creates or truncates the file, writes all bytes, flushes them to the
    // disk and closes it.
    virtual bool WriteDurably(const std::wstring& path, const std::string& bytes) = 0;
    // Copies a file over another (kept backups).
    virtual bool CopyOver(const std::wstring& from, const std::wstring& to) = 0;
    // Puts from in the place of to in one step, replacing to if it exists;
    // returns only once the change is on the disk.
    virtual bool ReplaceWith(const std::wstring& from, const std::wstring& to) = 0;
    // Renames a file; fails when to exists.
    virtual bool MoveAside(const std::wstring& from, const std::wstring& to) = 0;
    virtual bool Remove(const std::wstring& path) = 0;
    virtual bool Exists(const std::wstring& path) = 0;

    virtual std::wstring LastError() const = 0;
};
