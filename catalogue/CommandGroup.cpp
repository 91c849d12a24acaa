#include "catalogue/CommandGroup.h"

#include <utility>

CommandGroup::CommandGroup(int id, int iconIndex, std::wstring name)
    : id(id), iconIndex(iconIndex), name(std::move(name)) {}

GroupPtr CommandGroup::FindSubgroup(int id) const {
    for (const GroupPtr& child : subgroups) {
        if (!child) continue;
        if (child->id == id) return child;
        if (GroupPtr found = child->FindSubgroup(id)) return found;
    }
    return GroupPtr();
}

bool CommandGroup::RemoveSubgroup(int id) {
    for (auto it = subgroups.begin(); it != subgroups.end(); ++it) {
        if (!*it) continue;
        if ((*it)->id == id) {
            subgroups.erase(it);
            return true;
        }
        if ((*it)->RemoveSubgroup(id)) return true;
    }
    return false;
}
