#include "platform/win32/Win32StartMenu.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

std::vector<std::wstring> StartMenuProgramFolders()
{
    std::vector<std::wstring> folders;
    for (const KNOWNFOLDERID* id : {&FOLDERID_Programs, &FOLDERID_CommonPrograms}) {
        PWSTR path = nullptr;
        if (SUCCEEDED(SHGetKnownFolderPath(*id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path != nullptr)
            folders.emplace_back(path);
        CoTaskMemFree(path);
    }
    return folders;
}
