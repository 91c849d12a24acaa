#include "platform/win32/Win32ProgramPath.h"

#include <windows.h>

std::wstring Win32ProgramPath()
{
    // Start at the classic 1200 characters and grow for longer paths.
    std::wstring path(1200, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}
