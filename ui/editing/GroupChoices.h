#pragma once

#include "catalogue/CommandGroup.h"

#include <string>
#include <vector>

// One entry of an editor's group list.
struct GroupChoice {
    int id = 0;
    int iconIndex = 0;
    int indent = 0;
    std::wstring name;
};

// The groups an editor offers as a command's group: the catalogue's groups
// depth first, each top-level group followed by its subgroups, indented one
// step per level. The temporary "Search results" group is left out: a
// command moved into it would vanish with it at the next selection change.
class GroupChoices {
public:
    static constexpr int kSearchResultsGroupId = 2;

    static std::vector<GroupChoice> From(const std::vector<GroupPtr>& topGroups);
    // The position of the group with that id, or -1.
    static int IndexOf(const std::vector<GroupChoice>& choices, int groupId);
};
