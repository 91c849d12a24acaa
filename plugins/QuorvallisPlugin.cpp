#include "plugins/QuorvallisPlugin.h"

#include "platform/IPluginRunner.h"
#include "plugins/BrokenPlugins.h"
#include "plugins/InProcessPluginRunner.h"

#include <boost/make_shared.hpp>

#include <utility>

QuorvallisPlugin::QuorvallisPlugin(boost::shared_ptr<IPluginLibraries> libraries, std::wstring path)
    : libraryPath(std::move(path))
{
    if (libraries)
        runner_ = boost::make_shared<InProcessPluginRunner>(std::move(libraries));
}

QuorvallisPlugin::QuorvallisPlugin(boost::shared_ptr<IPluginRunner> runner, std::wstring path,
                                   std::shared_ptr<BrokenPlugins> broken)
    : libraryPath(std::move(path)),
      runner_(std::move(runner)),
      broken_(std::move(broken))
{
}

std::wstring QuorvallisPlugin::Label(const std::wstring& name, const std::wstring& path)
{
    const auto slash = path.find_last_of(L"\\/");
    const std::wstring file = slash == std::wstring::npos ? path : path.substr(slash + 1);
    return name.empty() ? file : L"\"" + name + L"\" (" + file + L")";
}

bool QuorvallisPlugin::CallAction(const ArgumentList& arguments) const
{
    // Runs on a worker thread; nothing may escape from here.
    try {
        if (argumentCount > 0 && arguments.size() < static_cast<std::size_t>(argumentCount))
            return false;
        if (!runner_)
            return false;
        const PluginActionResult result = runner_->Perform(libraryPath, argumentCount, arguments);
        if (result.end == PluginCodeEnd::Broke) {
            if (broken_)
                broken_->Add(libraryPath, Label(actionName, libraryPath));
            return false;
        }
        return result.succeeded;
    } catch (...) {
        return false;
    }
}
