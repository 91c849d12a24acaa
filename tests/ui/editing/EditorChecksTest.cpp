// The checks of OK in the command, group and script editors, the group list
// they offer, and the quoting of a browsed program path.
#include "ui/editing/CommandLinePath.h"
#include "ui/editing/EditorChecks.h"
#include "ui/editing/GroupChoices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(EditorChecks, FirstMissingInputIsReportedInTheEditorsOrder)
{
    const struct {
        const wchar_t* name;
        const wchar_t* command;
        const wchar_t* shortcut;
        bool group;
        const wchar_t* commandMessage;
        const wchar_t* scriptMessage;
    } cases[] = {
        {L"", L"", L"", false, L"Please, specify the name.", L"Please, specify the name."},
        {L"Mail", L"", L"", false, L"Please, specify the command.", L"Please, specify the command shortcut."},
        {L"Mail", L"http://", L"", false, L"Please, specify the command shortcut.",
         L"Please, specify the command shortcut."},
        {L"Mail", L"http://", L"m", false, L"Please, select the group.", L"Please, select the group."},
        {L"Mail", L"http://", L"m", true, L"", L""},
        // Blanks are text: nothing is trimmed.
        {L"  ", L" ", L" ", true, L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EditorChecks::CommandProblem(c.name, c.command, c.shortcut, c.group), c.commandMessage);
        EXPECT_EQ(EditorChecks::ScriptProblem(c.name, c.shortcut, c.group), c.scriptMessage);
    }
    EXPECT_EQ(EditorChecks::GroupProblem(L""), L"Please, specify the group name.");
    EXPECT_EQ(EditorChecks::GroupProblem(L" "), L"");
}

GroupPtr Group(int id, int icon, const wchar_t* name, std::vector<GroupPtr> subgroups = {})
{
    GroupPtr group(new CommandGroup(id, icon, name));
    group->subgroups = std::move(subgroups);
    return group;
}

TEST(GroupChoices, DepthFirstIndentedWithoutTheSearchResults)
{
    // Names are kept whole, however long.
    const std::wstring longName(5000, L'g');
    const std::vector<GroupPtr> top = {
        Group(0, 3, L"General", {Group(3, 7, L"Work", {Group(4, 8, longName.c_str())}), Group(5, 9, L"Home")}),
        Group(1, 4, L"Scripts"),
        Group(2, 21, L"Search results", {Group(6, 1, L"Inside the search results")}),
        GroupPtr(),
    };
    const auto choices = GroupChoices::From(top);
    const struct {
        int id;
        int icon;
        int indent;
        const wchar_t* name;
    } expected[] = {
        {0, 3, 0, L"General"}, {3, 7, 1, L"Work"},    {4, 8, 2, longName.c_str()},
        {5, 9, 1, L"Home"},    {1, 4, 0, L"Scripts"},
    };
    ASSERT_EQ(choices.size(), std::size(expected));
    for (size_t i = 0; i < choices.size(); ++i) {
        EXPECT_EQ(choices[i].id, expected[i].id);
        EXPECT_EQ(choices[i].iconIndex, expected[i].icon);
        EXPECT_EQ(choices[i].indent, expected[i].indent);
        EXPECT_EQ(choices[i].name, expected[i].name);
    }
    EXPECT_EQ(GroupChoices::IndexOf(choices, 4), 2);
    EXPECT_EQ(GroupChoices::IndexOf(choices, 2), -1);
    EXPECT_EQ(GroupChoices::IndexOf(choices, 6), -1);
}

TEST(CommandLinePath, PathsWithBlanksAreQuoted)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\Program Files\\a b\\x.exe", L"\"C:\\Program Files\\a b\\x.exe\""},
        {L"C:\\Tools\\x.exe", L"C:\\Tools\\x.exe"},
        {L"C:\\Tab\there\\x.exe", L"\"C:\\Tab\there\\x.exe\""},
        {L"\"C:\\a b\\x.exe\"", L"\"C:\\a b\\x.exe\""},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CommandLinePath::Quoted(c.first), c.second) << c.first;
}

} // namespace
