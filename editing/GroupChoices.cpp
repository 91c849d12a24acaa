#include "editing/GroupChoices.h"

#include <utility>

std::vector<GroupChoice> GroupChoices::From(const std::vector<GroupPtr>& topGroups)
{
    std::vector<GroupChoice> choices;
    // An explicit stack of (group, depth), children pushed in reverse so that
    // they come out in order: no recursion however deep the tree.
    std::vector<std::pair<const CommandGroup*, int>> pending;
    for (auto group = topGroups.rbegin(); group != topGroups.rend(); ++group)
        pending.emplace_back(group->get(), 0);
    while (!pending.empty()) {
        const auto [group, depth] = pending.back();
        pending.pop_back();
        if (!group || group->id == kSearchResultsGroupId)
            continue;
        choices.push_back(GroupChoice{group->id, group->iconIndex, depth, group->name});
        for (auto child = group->subgroups.rbegin(); child != group->subgroups.rend(); ++child)
            pending.emplace_back(child->get(), depth + 1);
    }
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
