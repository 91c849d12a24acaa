#include "ui/editing/GroupChoices.h"

namespace {

void Append(const GroupPtr& group, int depth, std::vector<GroupChoice>& choices)
{
    if (!group || group->id == GroupChoices::kSearchResultsGroupId)
        return;
    choices.push_back(GroupChoice{group->id, group->iconIndex, depth, group->name});
    for (const GroupPtr& child : group->subgroups)
        Append(child, depth + 1, choices);
}

} // namespace

std::vector<GroupChoice> GroupChoices::From(const std::vector<GroupPtr>& topGroups)
{
    std::vector<GroupChoice> choices;
    for (const GroupPtr& group : topGroups)
        Append(group, 0, choices);
    return choices;
}

int GroupChoices::IndexOf(const std::vector<GroupChoice>& choices, int groupId)
{
    for (size_t i = 0; i < choices.size(); ++i) {
        if (choices[i].id == groupId)
            return static_cast<int>(i);
    }
    return -1;
}
