#pragma once

#include "catalogue/ArgumentList.h"
#include "plugins/QuorvallisPlugin.h"

#include <boost/shared_ptr.hpp>

#include <string>
#include <vector>

class IPluginLibraries;

// Finds the plugin libraries in the "Plugins" folder beside the program and
// calls their actions by name. The list is filled once, at start-up, and
// only read afterwards (by the step editor and by worker threads).
class QuorvallisPluginsManager {
public:
    // No folder and no libraries: lists nothing, every action call fails.
    QuorvallisPluginsManager();
    QuorvallisPluginsManager(boost::shared_ptr<IPluginLibraries> libraries, std::wstring pluginsFolder);
    virtual ~QuorvallisPluginsManager() = default;

    // The folder for a program path: everything up to and including its last
    // backslash, then "Plugins"; empty when the path has no backslash.
    static std::wstring PluginsFolderFor(const std::wstring& programPath);

    bool ScanPluginsFolder();
    bool LoadPluginFile(const std::wstring& fullPath);
    // Takes the action's arguments from the front of the list; the rest stay
    // for later steps.
    bool PerformPluginAction(const std::wstring& actionName, ArgumentList& arguments) const;

    std::wstring pluginsFolder;
    std::vector<PluginPtr> plugins;

private:
    boost::shared_ptr<IPluginLibraries> libraries_;
};
