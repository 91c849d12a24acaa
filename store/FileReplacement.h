#pragma once

#include <string>

class IFileStore;

// The safe ways of the program's own files (the catalogue file, the
// programs' run counts): a file is replaced only by a complete copy, and a
// damaged one is moved out of the way rather than overwritten.
namespace FileReplacement {

enum class Backup { None, Keep };

// Writes bytes to path + ".tmp", flushed, and puts it in the place of path in
// one step; with Backup::Keep the previous file is first copied to path +
// ".bak". False when anything failed; path is then untouched and error (if
// given) says what went wrong.
bool Replace(const std::wstring& path, const std::string& bytes, IFileStore& files, std::wstring* error = nullptr,
             Backup backup = Backup::None);

// Moves a damaged file out of the way under a name that says so (path +
// ".damaged-<time>"), never over an earlier one. Returns the new path, or
// nothing when it could not move.
std::wstring KeepAside(const std::wstring& path, IFileStore& files);

} // namespace FileReplacement
