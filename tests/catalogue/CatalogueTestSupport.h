#pragma once

// Shared by the catalogue and store tests.

#include "catalogue/QuorvallisCommands.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

// Appends a record to the list as a file's reader would, taken as it is (no
// id, group or shortcut checked): for catalogues that the operations would
// refuse to make.
inline void AppendAsRead(QuorvallisCommands& catalogue, const CommandPtr& command)
{
    std::vector<CommandPtr> commands = catalogue.allCommands;
    commands.push_back(command);
    catalogue.LoadCommands(std::move(commands));
}

// The stored fields of a new catalogue, its two groups and its settings, but
// for shownOnce, which the caller checks.
inline void ExpectNewCatalogueFields(const QuorvallisCommands& catalogue)
{
    EXPECT_EQ(catalogue.reserved, 0);
    EXPECT_EQ(catalogue.lastId, 2);
    EXPECT_TRUE(catalogue.allCommands.empty());
    ASSERT_EQ(catalogue.groups.size(), 2u);
    EXPECT_EQ(catalogue.groups[0]->id, 0);
    EXPECT_EQ(catalogue.groups[0]->iconIndex, 3);
    EXPECT_EQ(catalogue.groups[0]->name, L"General");
    EXPECT_EQ(catalogue.groups[1]->id, 1);
    EXPECT_EQ(catalogue.groups[1]->iconIndex, 4);
    EXPECT_EQ(catalogue.groups[1]->name, L"Scripts");
    EXPECT_TRUE(catalogue.enableOnStart);
    EXPECT_FALSE(catalogue.autoStart);
    EXPECT_EQ(catalogue.firstControlKey, 17u);
    EXPECT_EQ(catalogue.secondControlKey, 17u);
    EXPECT_EQ(catalogue.lastSelectedGroupId, 0);
}
