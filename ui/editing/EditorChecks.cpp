#include "ui/editing/EditorChecks.h"

namespace {

// A command in no group is listed nowhere, and the store refuses to save a
// catalogue that holds one.
constexpr const wchar_t* kNoGroup = L"Please, select the group.";

} // namespace

std::wstring EditorChecks::CommandProblem(const std::wstring& name, const std::wstring& commandText,
                                          const std::wstring& shortcut, bool groupChosen)
{
    if (name.empty())
        return L"Please, specify the name.";
    if (commandText.empty())
        return L"Please, specify the command.";
    if (shortcut.empty())
        return L"Please, specify the command shortcut.";
    if (!groupChosen)
        return kNoGroup;
    return std::wstring();
}

std::wstring EditorChecks::GroupProblem(const std::wstring& name)
{
    return name.empty() ? L"Please, specify the group name." : std::wstring();
}

std::wstring EditorChecks::ScriptProblem(const std::wstring& name, const std::wstring& shortcut, bool groupChosen)
{
    if (name.empty())
        return L"Please, specify the name.";
    if (shortcut.empty())
        return L"Please, specify the command shortcut.";
    if (!groupChosen)
        return kNoGroup;
    return std::wstring();
}
