#include "ui/editing/StepTypeTable.h"

std::wstring StepTypeTable::ListLabel(StepType type)
{
    switch (type) {
    case StepType::OpenWebPage: return L"Open web page";
    case StepType::OpenExecutable: return L"Open executable";
    case StepType::EchoString: return L"Echo string";
    case StepType::SendKey: return L"Send key";
    case StepType::Pause: return L"Pause (ms)";
    case StepType::PluginAction: return L"Custom";
    }
    return std::wstring();
}

int StepTypeTable::Image(StepType type)
{
    switch (type) {
    case StepType::OpenWebPage: return 5;
    case StepType::OpenExecutable: return 6;
    case StepType::EchoString: return 7;
    case StepType::SendKey: return 9;
    case StepType::Pause: return 8;
    case StepType::PluginAction: return 19;
    }
    return -1;
}

std::wstring StepTypeTable::ValueLabel(StepType type)
{
    switch (type) {
    case StepType::OpenWebPage: return L"Web address:";
    case StepType::OpenExecutable: return L"Executable path:";
    case StepType::EchoString: return L"String:";
    case StepType::SendKey: return L"Key:";
    case StepType::Pause: return L"Pause time (ms):";
    case StepType::PluginAction: break;
    }
    return std::wstring();
}

std::vector<StepTypeChoice> StepTypeTable::CommandChoices()
{
    return {
        {L"Open web site", Image(StepType::OpenWebPage), StepType::OpenWebPage},
        {L"Execute", Image(StepType::OpenExecutable), StepType::OpenExecutable},
        {L"Echo string", Image(StepType::EchoString), StepType::EchoString},
    };
}

bool StepTypeTable::FitsCommandEditor(const QuorvallisCommand& command)
{
    if (command.steps.size() != 1 || !command.steps.front())
        return false;
    const StepType type = command.steps.front()->type;
    for (const StepTypeChoice& choice : CommandChoices()) {
        if (choice.type == type)
            return true;
    }
    return false;
}

std::vector<StepTypeChoice> StepTypeTable::StepChoices(const std::vector<PluginPtr>& plugins)
{
    std::vector<StepTypeChoice> choices = CommandChoices();
    choices.push_back({L"Pause (ms)", Image(StepType::Pause), StepType::Pause});
    choices.push_back({L"Send key", Image(StepType::SendKey), StepType::SendKey});
    for (const PluginPtr& plugin : plugins) {
        if (plugin)
            choices.push_back({plugin->actionName, Image(StepType::PluginAction), StepType::PluginAction});
    }
    return choices;
}

int StepTypeTable::IndexFor(const std::vector<StepTypeChoice>& choices, const QuorvallisScriptStep& step)
{
    for (size_t i = 0; i < choices.size(); ++i) {
        if (choices[i].type != step.type)
            continue;
        if (step.type != StepType::PluginAction || choices[i].label == step.text)
            return static_cast<int>(i);
    }
    return -1;
}
