#pragma once

// Shared helpers of the store tests: an in-memory file store that can be
// told to fail at one step, catalogue builders and a field-by-field compare.

#include "catalogue/QuorvallisCommands.h"
#include "platform/IFileStore.h"
#include "tests/catalogue/CatalogueTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

class MemoryFileStore : public IFileStore {
public:
    enum class Step { None, Read, WriteDurably, WriteHalfThenFail, CopyOver, ReplaceWith, MoveAside };

    std::map<std::wstring, std::string> files;
    Step failAt = Step::None;
    std::vector<std::wstring> calls;

    ReadResult ReadAll(const std::wstring& path, std::string& bytes) override
    {
        calls.push_back(L"read " + path);
        if (failAt == Step::Read)
            return ReadResult::Failed;
        const auto found = files.find(path);
        if (found == files.end())
            return ReadResult::Missing;
        bytes = found->second;
        return ReadResult::Read;
    }
    bool WriteDurably(const std::wstring& path, const std::string& bytes) override
    {
        calls.push_back(L"write " + path);
        if (failAt == Step::WriteDurably)
            return false;
        if (failAt == Step::WriteHalfThenFail) {
            files[path] = bytes.substr(0, bytes.size() / 2);
            return false;
        }
        files[path] = bytes;
        return true;
    }
    bool CopyOver(const std::wstring& from, const std::wstring& to) override
    {
        calls.push_back(L"copy " + from + L" " + to);
        if (failAt == Step::CopyOver || files.count(from) == 0)
            return false;
        files[to] = files[from];
        return true;
    }
    bool ReplaceWith(const std::wstring& from, const std::wstring& to) override
    {
        calls.push_back(L"replace " + from + L" " + to);
        if (failAt == Step::ReplaceWith || files.count(from) == 0)
            return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    bool MoveAside(const std::wstring& from, const std::wstring& to) override
    {
        calls.push_back(L"move " + from + L" " + to);
        if (failAt == Step::MoveAside || files.count(from) == 0 || files.count(to) != 0)
            return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    bool Remove(const std::wstring& path) override
    {
        calls.push_back(L"remove " + path);
        return files.erase(path) != 0;
    }
    bool Exists(const std::wstring& path) override { return files.count(path) != 0; }
    std::wstring LastError() const override { return L"injected failure"; }
};

// The bytes a text-mode UTF-16LE writer produces for ASCII text: each
// character as two bytes, a 0x0D before the 0x0A of a line feed.
inline std::string AsciiFileBytes(const std::string& text)
{
    std::string bytes;
    for (const char c : text) {
        if (c == '\n')
            bytes += '\x0D';
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

// A new catalogue shown once, as the three-line example writes it.
inline const char* ExampleText()
{
    return "22 serialization::archive 3 0 2 0 2 0 0 0 0 0 2 0 1 4 1 1\n"
           "0 0 3 7 General 0 0 4\n"
           "1 1 4 7 Scripts 0 0 1 0 17 17 0 1\n";
}

inline StepPtr MakeStep(int id, StepType type, const std::wstring& text)
{
    StepPtr step(new QuorvallisScriptStep(id));
    step->type = type;
    step->text = text;
    return step;
}

inline CommandPtr MakeCommand(int id, int groupId, const std::wstring& name, const std::wstring& shortcut)
{
    CommandPtr command(new QuorvallisCommand(id, name, L"notes of " + name, 2, groupId, shortcut));
    return command;
}

// Commands of every step type, strings that need care, nested groups.
inline void FillRichCatalogue(QuorvallisCommands& catalogue)
{
    catalogue.lastId = 20;
    catalogue.enableOnStart = false;
    catalogue.autoStart = true;
    catalogue.firstControlKey = 20;
    catalogue.secondControlKey = 161;
    catalogue.lastSelectedGroupId = 5;
    catalogue.shownOnce = true;

    GroupPtr tools(new CommandGroup(3, 7, L"Tools and \"things\""));
    GroupPtr inner(new CommandGroup(4, 8, L"inner\nline"));
    GroupPtr innermost(new CommandGroup(5, 9, std::wstring(L"\x010A\x041A") + L" \x1A end"));
    inner->subgroups.push_back(innermost);
    tools->subgroups.push_back(inner);
    tools->commandIds = {6, 7, -3};
    catalogue.groups.push_back(tools);

    CommandPtr web = MakeCommand(6, 0, L"Web page with spaces", L"web");
    web->steps.push_back(MakeStep(0, StepType::OpenWebPage, L"http://example.org/?q=%%"));
    web->lastStepId = 0;
    web->timesExecuted = 42;
    AppendAsRead(catalogue, web);

    CommandPtr script = MakeCommand(7, 1, L"Script \"quoted\"\nsecond line", L"Scr");
    script->kind = CommandKind::Script;
    script->iconIndex = -1;
    script->steps.push_back(MakeStep(0, StepType::OpenExecutable, L"C:\\Program Files\\x.exe %%"));
    script->steps.push_back(MakeStep(1, StepType::EchoString, L"^a{ENTER 3}\x010A\x0A0D\x0D0A"));
    StepPtr key = MakeStep(2, StepType::SendKey, L"Ctrl+Alt+K");
    key->virtualKey = 0x4B;
    key->modifiers = 6;
    script->steps.push_back(key);
    StepPtr pause = MakeStep(3, StepType::Pause, L"Pause 250 ms");
    pause->pauseMs = 250;
    script->steps.push_back(pause);
    StepPtr plugin = MakeStep(4, StepType::PluginAction, L"Reverse text");
    plugin->extraStrings = {L"", L"first extra", L"two\nlines", L" "};
    script->steps.push_back(plugin);
    script->lastStepId = 4;
    AppendAsRead(catalogue, script);

    CommandPtr deep = MakeCommand(8, 5, L"", L"");
    deep->notes = L"";
    AppendAsRead(catalogue, deep);
}

inline void ExpectSameStep(const QuorvallisScriptStep& a, const QuorvallisScriptStep& b)
{
    EXPECT_EQ(a.id, b.id);
    EXPECT_EQ(a.type, b.type);
    EXPECT_EQ(a.pauseMs, b.pauseMs);
    EXPECT_EQ(a.virtualKey, b.virtualKey);
    EXPECT_EQ(a.modifiers, b.modifiers);
    EXPECT_EQ(a.text, b.text);
    EXPECT_EQ(a.extraStrings, b.extraStrings);
}

inline void ExpectSameGroups(const std::vector<GroupPtr>& a, const std::vector<GroupPtr>& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i]->id, b[i]->id);
        EXPECT_EQ(a[i]->iconIndex, b[i]->iconIndex);
        EXPECT_EQ(a[i]->name, b[i]->name);
        EXPECT_EQ(a[i]->commandIds, b[i]->commandIds);
        ExpectSameGroups(a[i]->subgroups, b[i]->subgroups);
    }
}

inline void ExpectSameCatalogue(const QuorvallisCommands& a, const QuorvallisCommands& b)
{
    EXPECT_EQ(a.reserved, b.reserved);
    EXPECT_EQ(a.lastId, b.lastId);
    EXPECT_EQ(a.enableOnStart, b.enableOnStart);
    EXPECT_EQ(a.autoStart, b.autoStart);
    EXPECT_EQ(a.firstControlKey, b.firstControlKey);
    EXPECT_EQ(a.secondControlKey, b.secondControlKey);
    EXPECT_EQ(a.lastSelectedGroupId, b.lastSelectedGroupId);
    EXPECT_EQ(a.shownOnce, b.shownOnce);
    ExpectSameGroups(a.groups, b.groups);
    ASSERT_EQ(a.allCommands.size(), b.allCommands.size());
    for (std::size_t i = 0; i < a.allCommands.size(); ++i) {
        const QuorvallisCommand& x = *a.allCommands[i];
        const QuorvallisCommand& y = *b.allCommands[i];
        EXPECT_EQ(x.lastStepId, y.lastStepId);
        EXPECT_EQ(x.id, y.id);
        EXPECT_EQ(x.name, y.name);
        EXPECT_EQ(x.notes, y.notes);
        EXPECT_EQ(x.groupId, y.groupId);
        EXPECT_EQ(x.iconIndex, y.iconIndex);
        EXPECT_EQ(x.shortcut, y.shortcut);
        EXPECT_EQ(x.kind, y.kind);
        EXPECT_EQ(x.timesExecuted, y.timesExecuted);
        ASSERT_EQ(x.steps.size(), y.steps.size());
        for (std::size_t s = 0; s < x.steps.size(); ++s)
            ExpectSameStep(*x.steps[s], *y.steps[s]);
    }
}
