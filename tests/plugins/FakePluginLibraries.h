#pragma once

#include "platform/IPluginLibraries.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

// A plugin library as the fake loader sees it. By default it loads, has all
// four exports and behaves; the hooks let a test make it misbehave.
struct FakePlugin {
    bool loads = true;
    std::set<std::string> exports{"GetActionName", "GetActionDescription", "GetNumArguments", "PerformAction"};
    std::wstring name;
    std::wstring description;
    int count = 0;
    int result = 1;
    std::function<void(wchar_t* buffer, int capacity)> writeName;
    std::function<void(wchar_t* buffer, int capacity)> writeDescription;
    std::function<void(int count, wchar_t** arguments)> perform;
};

// A recording fake of the system's folders and loader. Every call lands in
// `calls` as one line, e.g. "load C:\P\a.dll", "lookup PerformAction",
// "perform 2 [x|y]", "unload C:\P\a.dll".
class FakePluginLibraries : public IPluginLibraries {
public:
    std::set<std::wstring> existingFolders;
    std::map<std::wstring, std::vector<PluginFolderEntry>> listings;
    std::map<std::wstring, FakePlugin> libraries;

    std::vector<std::wstring> calls;
    int loadedNow = 0;
    // The arguments of the last PerformAction, as the plugin saw them.
    std::vector<std::wstring> lastArguments;
    bool lastArrayWasNull = false;
    bool lastArrayEndedWithNull = false;

    // A folder that exists and lists these entries (plain names are files,
    // names ending in a backslash are folders); its path ends in a backslash.
    void AddFolder(const std::wstring& folder, const std::vector<std::wstring>& names);
    FakePlugin& AddPlugin(const std::wstring& path, const std::wstring& name, int count = 0);

    int CountCalls(const std::wstring& prefix) const;

    bool FolderExists(const std::wstring& path) override;
    bool ListFolder(const std::wstring& folder, std::vector<PluginFolderEntry>& entries) override;
    std::unique_ptr<IPluginLibrary> Load(const std::wstring& fullPath) override;
};
