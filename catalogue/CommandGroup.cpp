#include "catalogue/CommandGroup.h"

#include <utility>

CommandGroup::CommandGroup(int groupId, int icon, std::wstring groupName)
    : id(groupId),
      iconIndex(icon),
      name(std::move(groupName))
{
}

GroupPtr CommandGroup::FindSubgroup(int groupId) const
{
    for (const GroupPtr& child : subgroups) {
        if (!child)
            continue;
        if (child->id == groupId)
            return child;
        if (GroupPtr found = child->FindSubgroup(groupId))
            return found;
    }
    return GroupPtr();
}

bool CommandGroup::RemoveSubgroup(int groupId)
{
    for (auto it = subgroups.begin(); it != subgroups.end(); ++it) {
        if (!*it)
            continue;
        if ((*it)->id == groupId) {
            subgroups.erase(it);
            return true;
        }
        if ((*it)->RemoveSubgroup(groupId))
            return true;
    }
    return false;
}
