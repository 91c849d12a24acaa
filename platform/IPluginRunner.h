#pragma once

#include <string>
#include <vector>

// How a call into plugin code ended. Broke: the plugin took its process down
// (a fault, ExitProcess) or did not return in time; whatever it was asked
// for failed.
enum class PluginCodeEnd { Returned, Broke };

// What one library told when it was examined.
struct PluginExamination {
    PluginCodeEnd end = PluginCodeEnd::Returned;
    // False when the file is no complete plugin (no library, an export
    // missing, a buffer written through).
    bool accepted = false;
    std::wstring actionName;
    std::wstring actionDescription;
    int argumentCount = 0;
};

struct PluginActionResult {
    PluginCodeEnd end = PluginCodeEnd::Returned;
    bool succeeded = false;
};

// Runs plugin code: each call loads the library, calls its exports and
// releases it again. Called from several threads at once.
class IPluginRunner {
public:
    virtual ~IPluginRunner() = default;

    // Loads the library, looks up the four exports, asks for the action's
    // name, description and argument count.
    virtual PluginExamination Examine(const std::wstring& fullPath) = 0;
    // Calls PerformAction with exactly argumentCount arguments (the first of
    // `arguments`; a null array when the count is 0 or less).
    virtual PluginActionResult Perform(const std::wstring& fullPath, int argumentCount,
                                       const std::vector<std::wstring>& arguments) = 0;
};
