#pragma once

#include "platform/IPluginLibraries.h"

// Plugin libraries through the system loader: PathFileExistsW,
// FindFirstFileW/FindNextFileW, LoadLibraryW/GetProcAddress/FreeLibrary.
class Win32PluginLibraries : public IPluginLibraries {
public:
    bool FolderExists(const std::wstring& path) override;
    bool ListFolder(const std::wstring& folder, std::vector<PluginFolderEntry>& entries) override;
    std::unique_ptr<IPluginLibrary> Load(const std::wstring& fullPath) override;
};
