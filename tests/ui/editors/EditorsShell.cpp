// Runs one editor modally, the way the main window will, and prints what a
// caller reads back after the run (UTF-8, one field per line):
//   QvEditorsShell command-add GROUP
//   QvEditorsShell command-edit TYPE ICON GROUP NAME NOTES SHORTCUT TEXT
//   QvEditorsShell group-add | group-edit NAME ICON
//   QvEditorsShell script-add GROUP | script-edit GROUP
// (the script editor opens the step editor).
// The groups are General (0) with Work (3) holding Reports (4) and Home (5),
// Scripts (1), and the search results (2). The plugin manager lists "Say
// hello" and an action with a 250-character name. The script of
// script-edit has four steps: an echo "A", a web page, the key Ctrl+Enter
// and an action of a plugin that is no longer loaded.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "UnmanagedWindows.h"
#include "catalogue/CommandKind.h"
#include "catalogue/QuorvallisCommand.h"
#include "plugins/QuorvallisPluginsManager.h"
#include "ui/commandeditor/DlgEditCommand.h"
#include "ui/groupeditor/DlgEditGroup.h"
#include "ui/scripteditor/DlgEditScript.h"

namespace {

void Print(const std::wstring& line)
{
    std::wstring flat;
    for (wchar_t c : line)
        flat += c == L'\n' ? std::wstring(L"\\n") : c == L'\r' ? std::wstring(L"\\r") : std::wstring(1, c);
    flat += L"\n";
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, flat.data(), static_cast<int>(flat.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, flat.data(), static_cast<int>(flat.size()), &bytes[0], size, nullptr, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

std::wstring Num(long long value)
{
    return std::to_wstring(value);
}

GroupPtr Group(int id, int icon, const wchar_t* name, std::vector<GroupPtr> subgroups = {})
{
    GroupPtr group(new CommandGroup(id, icon, name));
    group->subgroups = std::move(subgroups);
    return group;
}

std::vector<GroupPtr> Groups()
{
    return {
        Group(0, 3, L"General", {Group(3, 34, L"Work", {Group(4, 31, L"Reports")}), Group(5, 54, L"Home")}),
        Group(1, 4, L"Scripts"),
        Group(2, 21, L"Search results"),
    };
}

boost::shared_ptr<QuorvallisPluginsManager> Plugins()
{
    boost::shared_ptr<QuorvallisPluginsManager> manager(new QuorvallisPluginsManager());
    for (const std::wstring& name : {std::wstring(L"Say hello"), L"Long action " + std::wstring(238, L'x')}) {
        PluginPtr plugin(new QuorvallisPlugin(nullptr, L"C:\\Plugins\\plugin.dll"));
        plugin->actionName = name;
        manager->plugins.push_back(plugin);
    }
    return manager;
}

StepPtr Step(int id, StepType type, const wchar_t* text, unsigned key = 0xFFFF, unsigned modifiers = 0xFFFF)
{
    StepPtr step(new QuorvallisScriptStep(id));
    step->type = type;
    step->text = text;
    step->virtualKey = key;
    step->modifiers = modifiers;
    return step;
}

QuorvallisCommand StoredScript()
{
    QuorvallisCommand script(40, L"Morning", L"First thing", 13, 4, L"mo");
    script.kind = CommandKind::Script;
    script.steps = {Step(0, StepType::EchoString, L"A"), Step(1, StepType::OpenWebPage, L"http://b.example"),
                    Step(2, StepType::SendKey, L"Ctrl+Enter", 0x0D, 2),
                    Step(3, StepType::PluginAction, L"Gone action")};
    script.lastStepId = 3;
    return script;
}

void PrintStep(const wchar_t* label, const QuorvallisScriptStep& step)
{
    Print(std::wstring(label) + L" " + Num(step.id) + L" " + Num(static_cast<int>(step.type)) + L" " +
          Num(step.pauseMs) + L" " + Num(step.virtualKey) + L" " + Num(step.modifiers) + L" " + step.text);
}

void PrintScript(const wchar_t* prefix, const QuorvallisCommand& script)
{
    const std::wstring p = prefix;
    Print(p + L"name " + script.name);
    Print(p + L"shortcut " + script.shortcut.str());
    Print(p + L"notes " + script.notes);
    Print(p + L"icon " + Num(script.iconIndex));
    Print(p + L"group " + Num(script.groupId));
    Print(p + L"kind " + Num(static_cast<int>(script.kind)));
    Print(p + L"lastStepId " + Num(script.lastStepId));
    for (const StepPtr& step : script.steps)
        PrintStep((p + L"step").c_str(), *step);
}

int RunCommandEditor(const std::vector<std::wstring>& args)
{
    std::unique_ptr<DlgEditCommand> editor;
    if (args[0] == L"command-add" && args.size() >= 2)
        editor.reset(new DlgEditCommand(std::stoi(args[1])));
    else if (args.size() >= 8)
        editor.reset(new DlgEditCommand(std::stoi(args[1]), std::stoi(args[2]), std::stoi(args[3]), args[4], args[5],
                                        args[6], args[7]));
    else
        return 64;
    editor->SetGroups(Groups());
    const INT_PTR result = editor->RunModal(nullptr);
    Print(L"result " + Num(result));
    if (result == IDOK) {
        Print(L"type " + Num(editor->typeCode()));
        Print(L"text " + editor->commandText());
        Print(L"name " + editor->name());
        Print(L"notes " + editor->notes());
        Print(L"shortcut " + editor->shortcut());
        Print(L"icon " + Num(editor->iconIndex()));
        Print(L"group " + Num(editor->groupId()));
    }
    return static_cast<int>(result);
}

int RunGroupEditor(const std::vector<std::wstring>& args)
{
    std::unique_ptr<DlgEditGroup> editor;
    if (args[0] == L"group-add")
        editor.reset(new DlgEditGroup());
    else if (args.size() >= 3)
        editor.reset(new DlgEditGroup(args[1], std::stoi(args[2])));
    else
        return 64;
    const INT_PTR result = editor->RunModal(nullptr);
    Print(L"result " + Num(result));
    if (result == IDOK) {
        Print(L"name " + editor->name());
        Print(L"icon " + Num(editor->iconIndex()));
    }
    return static_cast<int>(result);
}

int RunScriptEditor(const std::vector<std::wstring>& args)
{
    if (args.size() < 2)
        return 64;
    const QuorvallisCommand stored = StoredScript();
    std::unique_ptr<DlgEditScript> editor;
    if (args[0] == L"script-add")
        editor.reset(new DlgEditScript(std::stoi(args[1])));
    else
        editor.reset(new DlgEditScript(std::stoi(args[1]), stored));
    editor->SetGroups(Groups());
    editor->SetPluginsManager(Plugins());
    const INT_PTR result = editor->RunModal(nullptr);
    Print(L"result " + Num(result));
    if (result == IDOK) {
        PrintScript(L"", editor->command());
        Print(L"group " + Num(editor->groupId()));
    }
    // The stored script shares its steps with the editor's copy: whatever the
    // run did, they must be as they were.
    PrintScript(L"stored ", stored);
    return static_cast<int>(result);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int exitCode = 0;
    if (RunUnmanagedUnderWine(&exitCode))
        return exitCode;
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> args(argv + (count > 0 ? 1 : 0), argv + count);
    LocalFree(argv);
    if (args.empty())
        return 64;
    const std::wstring& scene = args[0];
    try {
        if (scene.rfind(L"command-", 0) == 0)
            return RunCommandEditor(args);
        if (scene.rfind(L"group-", 0) == 0)
            return RunGroupEditor(args);
        if (scene.rfind(L"script-", 0) == 0)
            return RunScriptEditor(args);
    } catch (const std::exception&) {
        // A number that does not read.
    }
    return 64;
}
