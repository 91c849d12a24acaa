#pragma once

#include "platform/IPluginRunner.h"

#include <boost/shared_ptr.hpp>

class IPluginLibraries;

// Runs plugin code in this process through the loader. Every text lent to
// the plugin is a guarded buffer of 1200 characters; a plugin that wrote
// through a whole margin is not accepted, nor does its action succeed. The
// helper program runs the plugins through this; so do the tests.
class InProcessPluginRunner : public IPluginRunner {
public:
    explicit InProcessPluginRunner(boost::shared_ptr<IPluginLibraries> libraries);

    // Never ends as Broke: a plugin that faults here takes the process with it.
    PluginExamination Examine(const std::wstring& fullPath) override;
    PluginActionResult Perform(const std::wstring& fullPath, int argumentCount,
                               const std::vector<std::wstring>& arguments) override;

private:
    boost::shared_ptr<IPluginLibraries> libraries_;
};
