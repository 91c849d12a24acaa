#pragma once

#include <boost/shared_ptr.hpp>

#include <string>
#include <vector>

class CommandGroup;
using GroupPtr = boost::shared_ptr<CommandGroup>;

// A named folder of commands; owns its subgroups. Which commands it lists is
// decided by each command's groupId, not by commandIds.
class CommandGroup {
public:
    CommandGroup() = default; // used when reading the catalogue file
    CommandGroup(int id, int iconIndex, std::wstring name);
    virtual ~CommandGroup() = default;

    // Depth-first search among the descendants; the group itself is not compared.
    GroupPtr FindSubgroup(int id) const;
    // Removes the first descendant with that id, with its subtree.
    bool RemoveSubgroup(int id);

    int id = 0;
    int iconIndex = 0;
    std::wstring name;
    std::vector<int> commandIds;
    std::vector<GroupPtr> subgroups;
};
