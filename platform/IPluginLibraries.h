#pragma once

#include <memory>
#include <string>
#include <vector>

// One plugin library, loaded. Releasing the object unloads the library, so
// nothing of the plugin outlives the scan or the call it was loaded for.
class IPluginLibrary {
public:
    virtual ~IPluginLibrary() = default;

    // Looks an export up by its plain name and keeps it for the calls below;
    // false when the library lacks it. An export that was not found (or not
    // looked up) is never called: its call does nothing and returns 0.
    virtual bool LookUp(const char* exportName) = 0;

    virtual void GetActionName(wchar_t* buffer, int capacity) = 0;
    virtual void GetActionDescription(wchar_t* buffer, int capacity) = 0;
    virtual int GetNumArguments() = 0;
    // The plugin's raw result; only its low 8 bits mean anything.
    virtual int PerformAction(int count, wchar_t** arguments) = 0;
};

struct PluginFolderEntry {
    std::wstring name;
    bool isDirectory = false;
};

// What the plugin manager needs of the system: the plugins folder and the
// libraries in it.
class IPluginLibraries {
public:
    virtual ~IPluginLibraries() = default;

    virtual bool FolderExists(const std::wstring& path) = 0;
    // Every entry of the folder, "." and ".." included, in the order the
    // system lists them. False when the folder cannot be listed.
    virtual bool ListFolder(const std::wstring& folder, std::vector<PluginFolderEntry>& entries) = 0;
    // Null when the file does not load as a library.
    virtual std::unique_ptr<IPluginLibrary> Load(const std::wstring& fullPath) = 0;
};
