#include "plugins/QuorvallisPluginsManager.h"

#include "platform/IPluginLibraries.h"
#include "platform/ProgramFolder.h"
#include "plugins/PluginTextBuffer.h"

#include <boost/make_shared.hpp>

#include <algorithm>
#include <utility>

namespace {

const char* const kRequiredExports[] = {"GetActionName", "GetActionDescription", "GetNumArguments", "PerformAction"};

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
    : pluginsFolder(std::move(folder)),
      libraries_(std::move(libraries))
{
}

std::wstring QuorvallisPluginsManager::PluginsFolderFor(const std::wstring& programPath)
{
    const std::wstring folder = FolderOfProgram(programPath);
    if (folder.empty())
        return {};
    return folder + L"Plugins";
}

bool QuorvallisPluginsManager::ScanPluginsFolder()
{
    try {
        if (!libraries_ || pluginsFolder.empty() || !libraries_->FolderExists(pluginsFolder))
            return false;
        const std::wstring prefix = WithTrailingBackslash(pluginsFolder);
        // The old list goes only once the new listing is in hand, so that an
        // unlistable folder changes nothing.
        std::vector<PluginFolderEntry> entries;
        if (!libraries_->ListFolder(prefix, entries))
            return false;
        plugins.clear();
        for (const auto& entry : entries) {
            if (entry.isDirectory || entry.name == L"." || entry.name == L"..")
                continue;
            LoadPluginFile(prefix + entry.name);
        }
        return true;
    } catch (...) {
        return false;
    }
}

bool QuorvallisPluginsManager::LoadPluginFile(const std::wstring& fullPath)
{
    try {
        if (!libraries_ || !HasPluginExtension(fullPath))
            return false;
        auto library = libraries_->Load(fullPath);
        if (!library)
            return false;
        for (const char* name : kRequiredExports) {
            if (!library->LookUp(name))
                return false;
        }

        auto plugin = boost::make_shared<QuorvallisPlugin>(libraries_, fullPath);
        // One buffer for both texts, as plugins have always been given.
        PluginTextBuffer text;
        library->GetActionName(text.data(), text.Capacity());
        plugin->actionName = text.Text();
        bool intact = text.Intact();
        library->GetActionDescription(text.data(), text.Capacity());
        plugin->actionDescription = text.Text();
        intact = intact && text.Intact();
        plugin->argumentCount = library->GetNumArguments();
        library.reset();

        // A plugin that wrote through the whole margin may have written
        // further; it is not listed.
        if (!intact)
            return false;
        plugins.push_back(plugin);
        return true;
    } catch (...) {
        return false;
    }
}

bool QuorvallisPluginsManager::PerformPluginAction(const std::wstring& actionName, ArgumentList& arguments) const
{
    try {
        const auto found = std::find_if(plugins.begin(), plugins.end(),
                                        [&](const PluginPtr& plugin) { return plugin->actionName == actionName; });
        if (found == plugins.end())
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
