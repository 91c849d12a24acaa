#include "store/CatalogueConsistency.h"

#include "catalogue/QuorvallisCommands.h"

#include <algorithm>
#include <climits>
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

// In the order lookups meet them: each group, then its subgroups.
void AddDepthFirst(const std::vector<GroupPtr>& groups, std::vector<CommandGroup*>& order)
{
    for (const GroupPtr& group : groups) {
        order.push_back(group.get());
        AddDepthFirst(group->subgroups, order);
    }
}

template <class Record>
std::vector<int> IdsOf(const std::vector<Record*>& records)
{
    std::vector<int> ids;
    ids.reserve(records.size());
    for (const Record* record : records)
        ids.push_back(record->id);
    return ids;
}

bool AllDifferent(std::vector<int> ids)
{
    std::sort(ids.begin(), ids.end());
    return std::adjacent_find(ids.begin(), ids.end()) == ids.end();
}

// The next id above the counter, raising it; once the counter is at the
// largest int, the smallest id from lowest on that is not in use.
int FreshId(int& counter, int lowest, std::set<int>& used)
{
    int id = counter < INT_MAX ? counter + 1 : lowest;
    while (used.count(id) != 0)
        ++id;
    used.insert(id);
    counter = std::max(counter, id);
    return id;
}

// Each record whose id an earlier one has gets a fresh one; used holds the
// ids of every record that draws from the counter.
template <class Record>
int RenumberLater(const std::vector<Record*>& records, int& counter, int lowest, std::set<int>& used)
{
    std::set<int> seen;
    int renumbered = 0;
    for (Record* record : records) {
        if (seen.insert(record->id).second)
            continue;
        record->id = FreshId(counter, lowest, used);
        ++renumbered;
    }
    return renumbered;
}

int RenumberSteps(QuorvallisCommand& command)
{
    std::vector<QuorvallisScriptStep*> steps;
    for (const StepPtr& step : command.steps) {
        command.lastStepId = std::max(command.lastStepId, step->id);
        steps.push_back(step.get());
    }
    if (steps.size() < 2 || AllDifferent(IdsOf(steps)))
        return 0;
    // Steps may be shared with another command: this one takes copies.
    for (std::size_t i = 0; i < steps.size(); ++i) {
        command.steps[i].reset(new QuorvallisScriptStep(*steps[i]));
        steps[i] = command.steps[i].get();
    }
    const std::vector<int> ids = IdsOf(steps);
    std::set<int> used(ids.begin(), ids.end());
    return RenumberLater(steps, command.lastStepId, 0, used);
}

} // namespace

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

int CatalogueConsistency::RenumberDuplicates(QuorvallisCommands& catalogue)
{
    const auto lock = catalogue.Lock();
    int renumbered = 0;
    std::vector<QuorvallisCommand*> commands;
    commands.reserve(catalogue.allCommands.size());
    for (const CommandPtr& command : catalogue.allCommands) {
        renumbered += RenumberSteps(*command);
        commands.push_back(command.get());
    }
    std::vector<CommandGroup*> groups;
    AddDepthFirst(catalogue.groups, groups);
    const std::vector<int> groupIds = IdsOf(groups);
    const std::vector<int> commandIds = IdsOf(commands);
    if (AllDifferent(groupIds) && AllDifferent(commandIds))
        return renumbered;

    // Groups and commands draw from one counter: a fresh id is new to both.
    // The ids 0 to 2 are the fixed groups'.
    std::set<int> used(groupIds.begin(), groupIds.end());
    used.insert(commandIds.begin(), commandIds.end());
    catalogue.lastId = std::max({catalogue.lastId, 2, *used.rbegin()});
    renumbered += RenumberLater(groups, catalogue.lastId, 3, used);
    renumbered += RenumberLater(commands, catalogue.lastId, 3, used);
    return renumbered;
}
