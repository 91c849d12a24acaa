#pragma once

#include <string>

// The full path of the running program, as the system reports it for the
// program's own module.
std::wstring Win32ProgramPath();
