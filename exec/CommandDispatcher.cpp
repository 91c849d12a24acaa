#include "exec/CommandDispatcher.h"

#include "catalogue/QuorvallisCommands.h"
#include "exec/LineTokenizer.h"
#include "exec/StepExecutor.h"
#include "platform/ICommandNotifier.h"

CommandDispatcher::CommandDispatcher(IStepPlatform& platform, IKeyboardOutput& keyboard, IKeystrokePlayer& keystrokes,
                                     ICommandNotifier& notifier)
    : platform_(platform),
      keyboard_(keyboard),
      keystrokes_(keystrokes),
      notifier_(notifier)
{
}

bool CommandDispatcher::RunTypedLine(QuorvallisCommands& catalogue, const std::wstring& line)
{
    ArgumentList tokens = TokenizeLine(line);
    if (tokens.empty())
        return false;

    // The shared reference keeps the command alive if the user edits or
    // removes it while its steps run.
    const CommandPtr command = catalogue.FindCommandByShortcut(tokens.front());
    if (!command)
        return false;

    // The manager is made once at start-up; holding it keeps it for the run.
    const boost::shared_ptr<QuorvallisPluginsManager> plugins = catalogue.pluginsManager;
    StepExecutor executor(platform_, keyboard_, keystrokes_);
    if (!executor.RunCommandSteps(*command, tokens, plugins.get()))
        return false;

    // The row to refresh is the counted record's: a script moved to another
    // group while it ran has a new id there.
    if (const CommandPtr counted = catalogue.RecordSuccessfulRun(command))
        notifier_.CommandExecuted(catalogue.MainWindow(), counted->id);
    return true;
}
