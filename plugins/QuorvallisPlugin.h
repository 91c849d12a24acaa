#pragma once

#include "catalogue/ArgumentList.h"

#include <boost/shared_ptr.hpp>

#include <memory>
#include <string>

class BrokenPlugins;
class IPluginLibraries;
class IPluginRunner;

// One accepted plugin library and the action it offers. Never changed after
// it is made; the library is loaded again for every call.
class QuorvallisPlugin {
public:
    // Calls run in this process through `libraries`.
    QuorvallisPlugin(boost::shared_ptr<IPluginLibraries> libraries, std::wstring libraryPath);
    // Calls run through `runner`; one that breaks is added to `broken` (if any).
    QuorvallisPlugin(boost::shared_ptr<IPluginRunner> runner, std::wstring libraryPath,
                     std::shared_ptr<BrokenPlugins> broken);
    virtual ~QuorvallisPlugin() = default;

    // Loads the library, calls PerformAction with exactly argumentCount
    // arguments, unloads it. False when fewer arguments were given, when the
    // library no longer loads or lacks the export, when the action fails, or
    // when the plugin broke (faulted, ended its process, did not return).
    bool CallAction(const ArgumentList& arguments) const;

    // What the user is told of a plugin that stopped working: the action's
    // name and the file, or the file alone while the name is unknown.
    static std::wstring Label(const std::wstring& actionName, const std::wstring& libraryPath);

    std::wstring libraryPath;
    std::wstring actionName;
    std::wstring actionDescription;
    int argumentCount = 0;

private:
    boost::shared_ptr<IPluginRunner> runner_;
    std::shared_ptr<BrokenPlugins> broken_;
};

using PluginPtr = boost::shared_ptr<QuorvallisPlugin>;
