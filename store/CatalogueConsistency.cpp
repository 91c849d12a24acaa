#include "store/CatalogueConsistency.h"

#include "catalogue/QuorvallisCommands.h"

#include <algorithm>
#include <set>
#include <vector>

namespace {

bool CheckGroups(const std::vector<GroupPtr>& groups, int depth, std::set<const CommandGroup*>& seen,
                 std::set<int>& ids, std::wstring& problem)
{
    if (!groups.empty() && depth > QuorvallisCommands::kMaxGroupDepth) {
        problem = L"groups are nested too deeply";
        return false;
    }
    for (const GroupPtr& group : groups) {
        if (!group) {
            problem = L"a group is missing";
            return false;
        }
        if (!seen.insert(group.get()).second) {
            problem = L"a group occurs twice in the tree";
            return false;
        }
        ids.insert(group->id);
        if (!CheckGroups(group->subgroups, depth + 1, seen, ids, problem))
            return false;
    }
    return true;
}

}  // namespace

bool CatalogueConsistency::Check(const QuorvallisCommands& catalogue, std::wstring& problem)
{
    const auto lock = catalogue.Lock();
    std::set<const CommandGroup*> seenGroups;
    std::set<int> groupIds;
    if (!CheckGroups(catalogue.groups, 1, seenGroups, groupIds, problem))
        return false;

    // Sorted once rather than a tree node per command: this runs on every
    // load and every save.
    std::vector<const QuorvallisCommand*> commands;
    commands.reserve(catalogue.allCommands.size());
    for (const CommandPtr& command : catalogue.allCommands) {
        if (!command) {
            problem = L"a command is missing";
            return false;
        }
        commands.push_back(command.get());
        for (const StepPtr& step : command->steps) {
            if (!step) {
                problem = L"a step of command " + std::to_wstring(command->id) + L" is missing";
                return false;
            }
        }
        if (groupIds.count(command->groupId) == 0) {
            problem = L"command " + std::to_wstring(command->id) + L" names group " +
                      std::to_wstring(command->groupId) + L", which does not exist";
            return false;
        }
    }
    std::sort(commands.begin(), commands.end());
    if (std::adjacent_find(commands.begin(), commands.end()) != commands.end()) {
        problem = L"a command occurs twice in the list";
        return false;
    }
    return true;
}
