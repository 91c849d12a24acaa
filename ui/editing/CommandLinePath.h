#pragma once

#include <string>

// A program path as the start of a command line for process creation. The
// system splits an unquoted command line at its first blank, so
// C:\Program Files\a b\x.exe could start C:\Program.exe: such a path is
// quoted.
class CommandLinePath {
public:
    // The path in double quotes when it holds a blank or a tab and is not
    // quoted yet; otherwise unchanged.
    static std::wstring Quoted(const std::wstring& path);
};
