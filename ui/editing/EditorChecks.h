#pragma once

#include <string>

// The checks of OK in the command, group and script editors. Each returns
// the message for the first missing input, in the order the editor asks for
// them, or an empty text when the input is complete. Texts are taken as
// typed: a name of blanks is a name.
class EditorChecks {
public:
    // `groupChosen`: an item of the group list is selected.
    static std::wstring CommandProblem(const std::wstring& name, const std::wstring& commandText,
                                       const std::wstring& shortcut, bool groupChosen);
    static std::wstring GroupProblem(const std::wstring& name);
    static std::wstring ScriptProblem(const std::wstring& name, const std::wstring& shortcut, bool groupChosen);
};
