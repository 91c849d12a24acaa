#pragma once

#include "catalogue/ArgumentList.h"

#include <boost/shared_ptr.hpp>

#include <string>

class IPluginLibraries;

// One accepted plugin library and the action it offers. Never changed after
// it is made; the library is loaded again for every call.
class QuorvallisPlugin {
public:
    QuorvallisPlugin(boost::shared_ptr<IPluginLibraries> libraries, std::wstring libraryPath);
    virtual ~QuorvallisPlugin() = default;

    // Loads the library, calls PerformAction with exactly argumentCount
    // arguments, unloads it. False when fewer arguments were given, when the
    // library no longer loads or lacks the export, or when the action fails.
    bool CallAction(const ArgumentList& arguments) const;

    std::wstring libraryPath;
    std::wstring actionName;
    std::wstring actionDescription;
    int argumentCount = 0;

private:
    bool CallLoadedAction(const ArgumentList& arguments) const;

    boost::shared_ptr<IPluginLibraries> libraries_;
};

using PluginPtr = boost::shared_ptr<QuorvallisPlugin>;
