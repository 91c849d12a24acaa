#include "tests/plugins/FakePluginLibraries.h"

#include <algorithm>

namespace {

std::wstring Widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

class FakePluginLibrary : public IPluginLibrary {
public:
    FakePluginLibrary(FakePluginLibraries& owner, std::wstring path, const FakePlugin& plugin)
        : owner_(owner),
          path_(std::move(path)),
          plugin_(plugin)
    {
        ++owner_.loadedNow;
    }
    ~FakePluginLibrary() override
    {
        --owner_.loadedNow;
        owner_.calls.push_back(L"unload " + path_);
    }

    bool LookUp(const char* exportName) override
    {
        owner_.calls.push_back(L"lookup " + Widen(exportName));
        const bool found = plugin_.exports.count(exportName) != 0;
        if (found)
            lookedUp_.insert(exportName);
        return found;
    }

    void GetActionName(wchar_t* buffer, int capacity) override
    {
        owner_.calls.push_back(L"name " + std::to_wstring(capacity));
        Require("GetActionName");
        WriteText(plugin_.writeName, plugin_.name, buffer, capacity);
    }

    void GetActionDescription(wchar_t* buffer, int capacity) override
    {
        owner_.calls.push_back(L"description " + std::to_wstring(capacity));
        Require("GetActionDescription");
        WriteText(plugin_.writeDescription, plugin_.description, buffer, capacity);
    }

    int GetNumArguments() override
    {
        owner_.calls.push_back(L"count");
        Require("GetNumArguments");
        return plugin_.count;
    }

    int PerformAction(int count, wchar_t** arguments) override
    {
        Require("PerformAction");
        owner_.lastArguments.clear();
        owner_.lastArrayWasNull = arguments == nullptr;
        owner_.lastArrayEndedWithNull = false;
        std::wstring joined;
        for (int i = 0; arguments && i < count; ++i) {
            owner_.lastArguments.emplace_back(arguments[i]);
            joined += (i ? L"|" : L"") + owner_.lastArguments.back();
        }
        if (arguments && count > 0)
            owner_.lastArrayEndedWithNull = arguments[count] == nullptr;
        owner_.calls.push_back(L"perform " + std::to_wstring(count) +
                               (arguments ? L" [" + joined + L"]" : std::wstring(L" null")));
        if (plugin_.perform)
            plugin_.perform(count, arguments);
        return plugin_.result;
    }

private:
    // The manager must never call an export it has not found.
    void Require(const char* exportName)
    {
        if (!lookedUp_.count(exportName))
            owner_.calls.push_back(L"CALLED WITHOUT LOOKUP " + Widen(exportName));
    }

    static void WriteText(const std::function<void(wchar_t*, int)>& custom, const std::wstring& text, wchar_t* buffer,
                          int capacity)
    {
        if (custom) {
            custom(buffer, capacity);
            return;
        }
        const auto length = std::min<std::size_t>(text.size(), capacity - 1);
        std::copy_n(text.begin(), length, buffer);
        buffer[length] = L'\0';
    }

    FakePluginLibraries& owner_;
    std::wstring path_;
    FakePlugin plugin_;
    std::set<std::string> lookedUp_;
};

} // namespace

void FakePluginLibraries::AddFolder(const std::wstring& folder, const std::vector<std::wstring>& names)
{
    existingFolders.insert(folder);
    auto& entries = listings[folder];
    entries.clear();
    for (const auto& name : names) {
        if (!name.empty() && name.back() == L'\\')
            entries.push_back({name.substr(0, name.size() - 1), true});
        else
            entries.push_back({name, false});
    }
}

FakePlugin& FakePluginLibraries::AddPlugin(const std::wstring& path, const std::wstring& name, int count)
{
    auto& plugin = libraries[path];
    plugin.name = name;
    plugin.description = L"About " + name;
    plugin.count = count;
    return plugin;
}

int FakePluginLibraries::CountCalls(const std::wstring& prefix) const
{
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const std::wstring& call) {
        return call.compare(0, prefix.size(), prefix) == 0;
    }));
}

bool FakePluginLibraries::FolderExists(const std::wstring& path)
{
    calls.push_back(L"exists " + path);
    // The manager keeps its folder without the trailing backslash.
    return existingFolders.count(path) != 0 || existingFolders.count(path + L'\\') != 0;
}

bool FakePluginLibraries::ListFolder(const std::wstring& folder, std::vector<PluginFolderEntry>& entries)
{
    calls.push_back(L"list " + folder);
    const auto found = listings.find(folder);
    if (found == listings.end())
        return false;
    entries = found->second;
    return true;
}

std::unique_ptr<IPluginLibrary> FakePluginLibraries::Load(const std::wstring& fullPath)
{
    calls.push_back(L"load " + fullPath);
    const auto found = libraries.find(fullPath);
    if (found == libraries.end() || !found->second.loads)
        return nullptr;
    return std::make_unique<FakePluginLibrary>(*this, fullPath, found->second);
}
