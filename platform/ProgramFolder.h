#pragma once

#include <string>

// The folder of a program path: everything up to and including its last
// backslash; empty when the path has none. The catalogue file and the
// "Plugins" folder live there.
std::wstring FolderOfProgram(const std::wstring& programPath);
