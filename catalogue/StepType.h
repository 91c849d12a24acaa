#pragma once

// What one step of a command does. The numbers are stored in the catalogue
// file; any other value makes the step fail when it runs.
enum class StepType : int {
    OpenWebPage = 1,
    OpenExecutable = 2,
    EchoString = 3,
    SendKey = 4,
    Pause = 5,
    PluginAction = 6,
};
