#include "plugins/QuorvallisPlugin.h"

#include "platform/IPluginLibraries.h"
#include "plugins/PluginTextBuffer.h"

#include <utility>

QuorvallisPlugin::QuorvallisPlugin(boost::shared_ptr<IPluginLibraries> libraries, std::wstring path)
    : libraryPath(std::move(path)),
      libraries_(std::move(libraries))
{
}

bool QuorvallisPlugin::CallAction(const ArgumentList& arguments) const
{
    // Runs on a worker thread; nothing may escape from here.
    try {
        return CallLoadedAction(arguments);
    } catch (...) {
        return false;
    }
}

bool QuorvallisPlugin::CallLoadedAction(const ArgumentList& arguments) const
{
    if (argumentCount > 0 && arguments.size() < static_cast<std::size_t>(argumentCount))
        return false;
    if (!libraries_)
        return false;
    auto library = libraries_->Load(libraryPath);
    if (!library || !library->LookUp("PerformAction"))
        return false;

    // Every argument gets a guarded buffer of its own; the array ends with a
    // null pointer beyond the count, for plugins that walk it like argv.
    std::vector<PluginTextBuffer> buffers;
    std::vector<wchar_t*> array;
    if (argumentCount > 0) {
        buffers.reserve(argumentCount);
        for (int i = 0; i < argumentCount; ++i)
            buffers.emplace_back(arguments[i]);
        for (auto& buffer : buffers)
            array.push_back(buffer.data());
        array.push_back(nullptr);
    }

    const int result = library->PerformAction(argumentCount, argumentCount > 0 ? array.data() : nullptr);
    library.reset();

    // A plugin that wrote through a whole argument buffer has broken its
    // side of the bargain: whatever it claims, the step fails.
    for (const auto& buffer : buffers) {
        if (!buffer.Intact())
            return false;
    }
    return (result & 0xFF) != 0;
}
