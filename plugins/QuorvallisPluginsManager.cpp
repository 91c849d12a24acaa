#include "plugins/QuorvallisPluginsManager.h"

#include "platform/IPluginLibraries.h"
#include "platform/IPluginRunner.h"
#include "platform/ProgramFolder.h"
#include "plugins/InProcessPluginRunner.h"

#include <boost/make_shared.hpp>

#include <algorithm>
#include <chrono>
#include <utility>

namespace {

bool IsLetter(wchar_t c, wchar_t lower)
{
    return c == lower || c == lower - (L'a' - L'A');
}

// The first three characters of the file name's last extension are "dll" in
// any case. Only the file name counts: a dot in a folder name does not make
// an extension.
bool HasPluginExtension(const std::wstring& fullPath)
{
    const auto nameStart = fullPath.find_last_of(L"\\/");
    const auto dot = fullPath.find_last_of(L'.');
    if (dot == std::wstring::npos || (nameStart != std::wstring::npos && dot < nameStart))
        return false;
    if (fullPath.size() - dot - 1 < 3)
        return false;
    return IsLetter(fullPath[dot + 1], L'd') && IsLetter(fullPath[dot + 2], L'l') && IsLetter(fullPath[dot + 3], L'l');
}

std::wstring WithTrailingBackslash(const std::wstring& folder)
{
    if (!folder.empty() && folder.back() == L'\\')
        return folder;
    return folder + L'\\';
}

} // namespace

QuorvallisPluginsManager::QuorvallisPluginsManager() = default;

QuorvallisPluginsManager::QuorvallisPluginsManager(boost::shared_ptr<IPluginLibraries> libraries, std::wstring folder)
    : QuorvallisPluginsManager(libraries, libraries ? boost::make_shared<InProcessPluginRunner>(libraries) : nullptr,
                               std::move(folder))
{
}

QuorvallisPluginsManager::QuorvallisPluginsManager(boost::shared_ptr<IPluginLibraries> libraries,
                                                   boost::shared_ptr<IPluginRunner> runner, std::wstring folder)
    : pluginsFolder(std::move(folder)),
      libraries_(std::move(libraries)),
      runner_(std::move(runner))
{
}

std::wstring QuorvallisPluginsManager::PluginsFolderFor(const std::wstring& programPath)
{
    const std::wstring folder = FolderOfProgram(programPath);
    if (folder.empty())
        return {};
    return folder + L"Plugins";
}

void QuorvallisPluginsManager::ExpectScan(unsigned waitMs)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    scanPending_ = true;
    scanWaitMs_ = waitMs;
}

void QuorvallisPluginsManager::EndScan()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        scanPending_ = false;
    }
    scanEnded_.notify_all();
}

bool QuorvallisPluginsManager::HasPluginFiles() const
{
    try {
        std::vector<PluginFolderEntry> entries;
        if (!libraries_ || pluginsFolder.empty() || !libraries_->FolderExists(pluginsFolder) ||
            !libraries_->ListFolder(WithTrailingBackslash(pluginsFolder), entries))
            return false;
        return std::any_of(entries.begin(), entries.end(), [](const PluginFolderEntry& entry) {
            return !entry.isDirectory && HasPluginExtension(entry.name);
        });
    } catch (...) {
        return false;
    }
}

bool QuorvallisPluginsManager::ScanPluginsFolder()
{
    bool listed = false;
    try {
        if (libraries_ && !pluginsFolder.empty() && libraries_->FolderExists(pluginsFolder)) {
            const std::wstring prefix = WithTrailingBackslash(pluginsFolder);
            // The old list goes only once the new listing is in hand, so that an
            // unlistable folder changes nothing.
            std::vector<PluginFolderEntry> entries;
            if (libraries_->ListFolder(prefix, entries)) {
                std::vector<PluginPtr> found;
                for (const auto& entry : entries) {
                    if (entry.isDirectory || entry.name == L"." || entry.name == L"..")
                        continue;
                    if (PluginPtr plugin = Examine(prefix + entry.name))
                        found.push_back(plugin);
                }
                const std::lock_guard<std::mutex> lock(mutex_);
                plugins.swap(found);
                listed = true;
            }
        }
    } catch (...) {
        listed = false;
    }
    EndScan();
    return listed;
}

bool QuorvallisPluginsManager::LoadPluginFile(const std::wstring& fullPath)
{
    try {
        PluginPtr plugin = Examine(fullPath);
        if (!plugin)
            return false;
        const std::lock_guard<std::mutex> lock(mutex_);
        plugins.push_back(plugin);
        return true;
    } catch (...) {
        return false;
    }
}

PluginPtr QuorvallisPluginsManager::Examine(const std::wstring& fullPath)
{
    if (!runner_ || !HasPluginExtension(fullPath))
        return nullptr;
    const PluginExamination examination = runner_->Examine(fullPath);
    if (examination.end == PluginCodeEnd::Broke) {
        // Left out of the list, and the user is told which file it was.
        broken_->Add(fullPath, QuorvallisPlugin::Label(L"", fullPath));
        return nullptr;
    }
    if (!examination.accepted)
        return nullptr;
    auto plugin = boost::make_shared<QuorvallisPlugin>(runner_, fullPath, broken_);
    plugin->actionName = examination.actionName;
    plugin->actionDescription = examination.actionDescription;
    plugin->argumentCount = examination.argumentCount;
    return plugin;
}

std::vector<PluginPtr> QuorvallisPluginsManager::Plugins() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return plugins;
}

bool QuorvallisPluginsManager::PerformPluginAction(const std::wstring& actionName, ArgumentList& arguments) const
{
    try {
        std::vector<PluginPtr> listed;
        {
            // A line typed before the scan finished waits for it, bounded.
            std::unique_lock<std::mutex> lock(mutex_);
            scanEnded_.wait_for(lock, std::chrono::milliseconds(scanWaitMs_), [this] { return !scanPending_; });
            listed = plugins;
        }
        const auto found = std::find_if(listed.begin(), listed.end(),
                                        [&](const PluginPtr& plugin) { return plugin->actionName == actionName; });
        if (found == listed.end())
            return false;
        const PluginPtr& plugin = *found;

        ArgumentList forCall;
        if (plugin->argumentCount > 0) {
            const auto count = static_cast<std::size_t>(plugin->argumentCount);
            if (arguments.size() < count)
                return false;
            forCall.assign(std::make_move_iterator(arguments.begin()),
                           std::make_move_iterator(arguments.begin() + count));
            arguments.erase(arguments.begin(), arguments.begin() + count);
        }
        return plugin->CallAction(forCall);
    } catch (...) {
        return false;
    }
}
