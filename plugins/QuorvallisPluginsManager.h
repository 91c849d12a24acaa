#pragma once

#include "catalogue/ArgumentList.h"
#include "plugins/BrokenPlugins.h"
#include "plugins/QuorvallisPlugin.h"

#include <boost/shared_ptr.hpp>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class IPluginLibraries;
class IPluginRunner;

// Finds the plugin libraries in the "Plugins" folder beside the program and
// calls their actions by name. The list is filled once, at start-up (on a
// thread of its own in the program), and only read afterwards: by the step
// editor (Plugins(), the last scan) and by worker threads, which wait for a
// scan still running, at most a set time.
class QuorvallisPluginsManager {
public:
    // No folder and no libraries: lists nothing, every action call fails.
    QuorvallisPluginsManager();
    // Plugin code runs in this process.
    QuorvallisPluginsManager(boost::shared_ptr<IPluginLibraries> libraries, std::wstring pluginsFolder);
    // The folder is listed through `libraries`; plugin code runs through `runner`.
    QuorvallisPluginsManager(boost::shared_ptr<IPluginLibraries> libraries, boost::shared_ptr<IPluginRunner> runner,
                             std::wstring pluginsFolder);
    virtual ~QuorvallisPluginsManager() = default;

    // The folder for a program path: everything up to and including its last
    // backslash, then "Plugins"; empty when the path has no backslash.
    static std::wstring PluginsFolderFor(const std::wstring& programPath);

    // A scan is about to start on another thread: action calls wait for it
    // to finish, at most waitMs.
    void ExpectScan(unsigned waitMs);
    // True when the folder holds a file the scan would examine, so that the
    // scan needs plugin code (and a thread to wait for it on).
    bool HasPluginFiles() const;
    bool ScanPluginsFolder();
    bool LoadPluginFile(const std::wstring& fullPath);
    // Takes the action's arguments from the front of the list; the rest stay
    // for later steps.
    bool PerformPluginAction(const std::wstring& actionName, ArgumentList& arguments) const;

    // The list as the last scan left it, for readers on other threads than
    // the scan's.
    std::vector<PluginPtr> Plugins() const;
    BrokenPlugins& brokenPlugins() { return *broken_; }

    std::wstring pluginsFolder;
    std::vector<PluginPtr> plugins;

private:
    // The record for one file, or null when it is no plugin.
    PluginPtr Examine(const std::wstring& fullPath);
    void EndScan();

    boost::shared_ptr<IPluginLibraries> libraries_;
    boost::shared_ptr<IPluginRunner> runner_;
    std::shared_ptr<BrokenPlugins> broken_ = std::make_shared<BrokenPlugins>();

    mutable std::mutex mutex_;
    mutable std::condition_variable scanEnded_;
    bool scanPending_ = false;
    unsigned scanWaitMs_ = 0;
};
