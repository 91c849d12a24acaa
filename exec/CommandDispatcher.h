#pragma once

#include <string>

class ICommandNotifier;
class IKeyboardOutput;
class IKeystrokePlayer;
class IStepPlatform;
class QuorvallisCommands;

// Runs one typed line: the first token names the command by its shortcut,
// the rest are its arguments. Lives on the worker thread of that line.
class CommandDispatcher {
public:
    CommandDispatcher(IStepPlatform& platform, IKeyboardOutput& keyboard, IKeystrokePlayer& keystrokes,
                      ICommandNotifier& notifier);

    // True only when a command was found and all its steps succeeded; then
    // its count has been raised and the main window told. An empty line, an
    // unknown shortcut or a failing step changes nothing and shows nothing.
    bool RunTypedLine(QuorvallisCommands& catalogue, const std::wstring& line);

private:
    IStepPlatform& platform_;
    IKeyboardOutput& keyboard_;
    IKeystrokePlayer& keystrokes_;
    ICommandNotifier& notifier_;
};
