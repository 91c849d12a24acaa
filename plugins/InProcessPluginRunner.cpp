#include "plugins/InProcessPluginRunner.h"

#include "platform/IPluginLibraries.h"
#include "plugins/PluginTextBuffer.h"

#include <utility>

namespace {

const char* const kRequiredExports[] = {"GetActionName", "GetActionDescription", "GetNumArguments", "PerformAction"};

} // namespace

InProcessPluginRunner::InProcessPluginRunner(boost::shared_ptr<IPluginLibraries> libraries)
    : libraries_(std::move(libraries))
{
}

PluginExamination InProcessPluginRunner::Examine(const std::wstring& fullPath)
{
    PluginExamination examination;
    try {
        if (!libraries_)
            return examination;
        auto library = libraries_->Load(fullPath);
        if (!library)
            return examination;
        for (const char* name : kRequiredExports) {
            if (!library->LookUp(name))
                return examination;
        }

        // One buffer for both texts, as plugins have always been given.
        PluginTextBuffer text;
        library->GetActionName(text.data(), text.Capacity());
        examination.actionName = text.Text();
        bool intact = text.Intact();
        library->GetActionDescription(text.data(), text.Capacity());
        examination.actionDescription = text.Text();
        intact = intact && text.Intact();
        examination.argumentCount = library->GetNumArguments();
        library.reset();

        // A plugin that wrote through the whole margin may have written
        // further; it is not listed.
        examination.accepted = intact;
    } catch (...) {
        examination.accepted = false;
    }
    return examination;
}

PluginActionResult InProcessPluginRunner::Perform(const std::wstring& fullPath, int argumentCount,
                                                  const std::vector<std::wstring>& arguments)
{
    PluginActionResult result;
    try {
        if (argumentCount > 0 && arguments.size() < static_cast<std::size_t>(argumentCount))
            return result;
        if (!libraries_)
            return result;
        auto library = libraries_->Load(fullPath);
        if (!library || !library->LookUp("PerformAction"))
            return result;

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

        const int raw = library->PerformAction(argumentCount, argumentCount > 0 ? array.data() : nullptr);
        library.reset();

        // A plugin that wrote through a whole argument buffer has broken its
        // side of the bargain: whatever it claims, the step fails.
        for (const auto& buffer : buffers) {
            if (!buffer.Intact())
                return result;
        }
        result.succeeded = (raw & 0xFF) != 0;
    } catch (...) {
        result.succeeded = false;
    }
    return result;
}
