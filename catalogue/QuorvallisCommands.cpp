#include "catalogue/QuorvallisCommands.h"

#include <algorithm>
#include <climits>
#include <set>
#include <utility>

namespace {

GroupPtr CopyOfTree(const CommandGroup& group)
{
    GroupPtr copy(new CommandGroup(group));
    for (GroupPtr& child : copy->subgroups) {
        if (child)
            child = CopyOfTree(*child);
    }
    return copy;
}

void CollectGroupIds(const CommandGroup& group, std::set<int>& ids)
{
    ids.insert(group.id);
    for (const GroupPtr& child : group.subgroups) {
        if (child)
            CollectGroupIds(*child, ids);
    }
}

} // namespace

QuorvallisCommands::QuorvallisCommands()
{
    groups.push_back(GroupPtr(new CommandGroup(0, 3, L"General")));
    groups.push_back(GroupPtr(new CommandGroup(1, 4, L"Scripts")));
}

QuorvallisCommands::QuorvallisCommands(boost::shared_ptr<QuorvallisPluginsManager> plugins) : QuorvallisCommands()
{
    pluginsManager = std::move(plugins);
}

QuorvallisCommands::~QuorvallisCommands() = default;

std::unique_lock<std::recursive_mutex> QuorvallisCommands::Lock() const
{
    return std::unique_lock<std::recursive_mutex>(guard_);
}

GroupPtr QuorvallisCommands::FindGroup(int id) const
{
    auto lock = Lock();
    for (const GroupPtr& group : groups) {
        if (!group)
            continue;
        if (group->id == id)
            return group;
        if (GroupPtr found = group->FindSubgroup(id))
            return found;
    }
    return GroupPtr();
}

bool QuorvallisCommands::ShortcutTaken(const std::wstring& shortcut, const QuorvallisCommand* except) const
{
    return shortcutIndex_.FirstOther(shortcut, except) != nullptr;
}

std::vector<CommandPtr>::iterator QuorvallisCommands::ListedAt(int id)
{
    return std::find_if(allCommands.items_.begin(), allCommands.items_.end(),
                        [id](const CommandPtr& c) { return c && c->id == id; });
}

int QuorvallisCommands::NextId() const
{
    return lastId < INT_MAX ? lastId + 1 : 0;
}

int QuorvallisCommands::DepthOf(const CommandGroup* group) const
{
    std::vector<std::pair<const CommandGroup*, int>> pending;
    for (const GroupPtr& top : groups) {
        if (top)
            pending.emplace_back(top.get(), 1);
    }
    while (!pending.empty()) {
        const auto [current, depth] = pending.back();
        pending.pop_back();
        if (current == group)
            return depth;
        for (const GroupPtr& child : current->subgroups) {
            if (child)
                pending.emplace_back(child.get(), depth + 1);
        }
    }
    return 0;
}

void QuorvallisCommands::AppendCommand(const GroupPtr& group, const CommandPtr& command)
{
    const int id = lastId + 1;
    allCommands.items_.push_back(command);
    shortcutIndex_.Appended(command);
    searchIndex_.Appended(command);
    matchIndex_.Appended(command);
    group->commandIds.push_back(id);
    command->id = id;
    command->groupId = group->id;
    lastId = id;
}

void QuorvallisCommands::PutInPlace(std::vector<CommandPtr>::iterator at, const CommandPtr& successor)
{
    const CommandPtr old = *at;
    *at = successor;
    shortcutIndex_.Replaced(old, successor);
    searchIndex_.Invalidate();
    matchIndex_.Invalidate();
}

void QuorvallisCommands::EraseFromList(std::vector<CommandPtr>::iterator at)
{
    const CommandPtr removed = *at;
    allCommands.items_.erase(at);
    shortcutIndex_.Removed(removed);
    searchIndex_.Invalidate();
    matchIndex_.Invalidate();
}

CommandPtr QuorvallisCommands::AddCommand(int groupId, const std::wstring& name, const std::wstring& notes,
                                          int iconIndex, const std::wstring& shortcut)
{
    auto lock = Lock();
    GroupPtr group = FindGroup(groupId);
    if (!group || NextId() == 0 || ShortcutTaken(shortcut, nullptr))
        return CommandPtr();
    CommandPtr command(new QuorvallisCommand(lastId + 1, name, notes, iconIndex, group->id, shortcut));
    AppendCommand(group, command);
    return command;
}

CommandPtr QuorvallisCommands::AddCommand(int groupId, const std::wstring& name, const std::wstring& notes,
                                          int iconIndex, const std::wstring& shortcut, StepType type,
                                          const std::wstring& text)
{
    CommandPtr command(new QuorvallisCommand(0, name, notes, iconIndex, groupId, shortcut));
    if (!command->SetRegularStep(type, text))
        return CommandPtr();
    // Published by the append, with its step already in place.
    return InsertCommand(groupId, command) ? command : CommandPtr();
}

bool QuorvallisCommands::InsertCommand(int groupId, const CommandPtr& command)
{
    auto lock = Lock();
    if (!command)
        return false;
    GroupPtr group = FindGroup(groupId);
    // A record already listed has its own shortcut, so it is refused here too.
    if (!group || NextId() == 0 || ShortcutTaken(command->shortcut, nullptr))
        return false;
    AppendCommand(group, command);
    return true;
}

CommandPtr QuorvallisCommands::FindCommand(int id) const
{
    auto lock = Lock();
    for (const CommandPtr& command : allCommands) {
        if (command && command->id == id)
            return command;
    }
    return CommandPtr();
}

bool QuorvallisCommands::ReplaceCommand(int id, const CommandPtr& command)
{
    auto lock = Lock();
    // The record may have been edited in place before it is handed back.
    searchIndex_.Invalidate();
    matchIndex_.Invalidate();
    if (!command)
        return false;
    auto at = ListedAt(id);
    if (at == allCommands.items_.end())
        return false;
    const CommandPtr old = *at;
    if (command == old)
        return true;
    // Another listed record in this place would be listed twice.
    if (std::find(allCommands.begin(), allCommands.end(), command) != allCommands.end())
        return false;

    if (command->groupId == old->groupId) {
        command->timesExecuted = old->timesExecuted;
        PutInPlace(at, command);
    } else {
        GroupPtr group = FindGroup(command->groupId);
        if (!group || NextId() == 0 || ShortcutTaken(command->shortcut, old.get()))
            return false;
        // The editor's copy may hold a count that runs have raised since.
        command->timesExecuted = old->timesExecuted;
        EraseFromList(at);
        AppendCommand(group, command);
    }
    runCounts_.NoteReplacement(old, command);
    return true;
}

bool QuorvallisCommands::UpdateCommand(int id, const CommandPtr& edited)
{
    auto lock = Lock();
    if (!edited)
        return false;
    auto at = ListedAt(id);
    if (at == allCommands.items_.end())
        return false;
    const CommandPtr old = *at;
    if (edited == old)
        return true;
    if (std::find(allCommands.begin(), allCommands.end(), edited) != allCommands.end())
        return false;
    GroupPtr group = FindGroup(edited->groupId);
    if (!group)
        return false;
    // A changed shortcut that another command has would make one of the two
    // unreachable; an unchanged one (a file may hold duplicates) stays.
    if (!ShortcutsEqual(edited->shortcut, old->shortcut) && ShortcutTaken(edited->shortcut, old.get()))
        return false;

    edited->id = id;
    edited->timesExecuted = old->timesExecuted;
    if (edited->groupId != old->groupId) {
        if (GroupPtr from = FindGroup(old->groupId)) {
            auto& ids = from->commandIds;
            ids.erase(std::remove(ids.begin(), ids.end(), id), ids.end());
        }
        group->commandIds.push_back(id);
    }
    PutInPlace(at, edited);
    runCounts_.NoteReplacement(old, edited);
    return true;
}

CommandPtr QuorvallisCommands::ShortcutHolder(const std::wstring& shortcut, int exceptId) const
{
    auto lock = Lock();
    return shortcutIndex_.FirstOtherThanId(shortcut, exceptId);
}

std::unique_ptr<QuorvallisCommands> QuorvallisCommands::StoredSnapshot() const
{
    auto snapshot = std::make_unique<QuorvallisCommands>();
    auto lock = Lock();
    snapshot->reserved = reserved;
    snapshot->lastId = lastId;
    snapshot->allCommands.items_ = allCommands.items_;
    snapshot->groups.clear();
    snapshot->groups.reserve(groups.size());
    for (const GroupPtr& group : groups)
        snapshot->groups.push_back(group ? CopyOfTree(*group) : GroupPtr());
    snapshot->enableOnStart = enableOnStart;
    snapshot->autoStart = autoStart;
    snapshot->firstControlKey = firstControlKey;
    snapshot->secondControlKey = secondControlKey;
    snapshot->lastSelectedGroupId = lastSelectedGroupId;
    snapshot->shownOnce = shownOnce;
    return snapshot;
}

bool QuorvallisCommands::RemoveCommand(int id)
{
    auto lock = Lock();
    auto at = ListedAt(id);
    if (at == allCommands.items_.end())
        return false;
    EraseFromList(at);
    return true;
}

GroupPtr QuorvallisCommands::AddTopGroup(int id, const std::wstring& name)
{
    auto lock = Lock();
    for (const GroupPtr& group : groups) {
        if (group && group->id == id)
            return GroupPtr();
    }
    GroupPtr group(new CommandGroup(id, 21, name));
    groups.push_back(group);
    return group;
}

GroupPtr QuorvallisCommands::AddSubgroup(const GroupPtr& parent, const std::wstring& name, int iconIndex)
{
    auto lock = Lock();
    if (!parent || NextId() == 0)
        return GroupPtr();
    // A group too deep for the file would make every later save fail. A
    // parent outside the tree counts as a top-level group.
    const int parentDepth = std::max(DepthOf(parent.get()), 1);
    if (parentDepth >= kMaxGroupDepth)
        return GroupPtr();
    GroupPtr group(new CommandGroup(lastId + 1, iconIndex, name));
    parent->subgroups.push_back(group);
    ++lastId;
    return group;
}

GroupPtr QuorvallisCommands::AddGroup(const std::wstring& name, int iconIndex)
{
    auto lock = Lock();
    if (NextId() == 0)
        return GroupPtr();
    GroupPtr group(new CommandGroup(lastId + 1, iconIndex, name));
    groups.push_back(group);
    ++lastId;
    return group;
}

int QuorvallisCommands::GroupDepth(int groupId) const
{
    auto lock = Lock();
    GroupPtr group = FindGroup(groupId);
    return group ? DepthOf(group.get()) : 0;
}

bool QuorvallisCommands::RemoveGroup(int id)
{
    auto lock = Lock();
    // The same walk as the removal below, so both find the same group.
    GroupPtr target;
    for (const GroupPtr& group : groups) {
        if (group && group->id == id) {
            target = group;
            break;
        }
    }
    if (!target)
        target = FindGroup(id);
    if (!target)
        return false;

    std::set<int> removedIds;
    CollectGroupIds(*target, removedIds);

    auto top = std::find(groups.begin(), groups.end(), target);
    if (top != groups.end()) {
        groups.erase(top);
    } else {
        bool removed = false;
        for (const GroupPtr& group : groups) {
            if (group && group->RemoveSubgroup(id)) {
                removed = true;
                break;
            }
        }
        if (!removed)
            return false;
    }
    RemoveCommandsOf(removedIds);
    return true;
}

void QuorvallisCommands::RemoveCommandsOf(const std::set<int>& groupIds)
{
    std::vector<CommandPtr>& list = allCommands.items_;
    const auto kept = std::remove_if(list.begin(), list.end(),
                                     [&groupIds](const CommandPtr& c) { return c && groupIds.count(c->groupId) != 0; });
    // A group without commands (the search results, left on every search)
    // leaves the indexes as they are: rebuilding would fall on the next key.
    if (kept == list.end())
        return;
    list.erase(kept, list.end());
    searchIndex_.Invalidate();
    matchIndex_.Invalidate();
    // Each removal moves the ranking's entries after it: a group's commands
    // are cheaper read again whole at the next lookup.
    shortcutIndex_.Reload();
}

int QuorvallisCommands::SearchCommands(const std::wstring& text)
{
    auto lock = Lock();
    searchResults.clear();
    searchIndex_.Search(allCommands, text, searchResults);
    return static_cast<int>(searchResults.size());
}

CommandPtr QuorvallisCommands::FindCommandByShortcut(const std::wstring& shortcut) const
{
    auto lock = Lock();
    return shortcutIndex_.First(shortcut);
}

CommandPtr QuorvallisCommands::CompletionFor(const std::wstring& word) const
{
    auto lock = Lock();
    // A word that holds a separator is no longer the shortcut alone.
    if (word.empty() || !ShortcutReachable(word))
        return CommandPtr();
    return shortcutIndex_.Completion(word);
}

std::vector<MatchRow> QuorvallisCommands::Matches(const std::wstring& word, std::size_t limit) const
{
    auto lock = Lock();
    return matchIndex_.Rows(allCommands.items_, word, limit, shortcutIndex_.CountChanges());
}

CommandPtr QuorvallisCommands::RecordSuccessfulRun(const CommandPtr& command)
{
    auto lock = Lock();
    if (!command)
        return CommandPtr();
    // Replaced while it ran: the count belongs to the record in its place.
    CommandPtr counted = runCounts_.RecordToCount(command);
    if (counted)
        shortcutIndex_.CountRun(counted);
    return counted;
}

int QuorvallisCommands::TimesExecuted(int id) const
{
    auto lock = Lock();
    CommandPtr command = FindCommand(id);
    return command ? command->timesExecuted.get() : -1;
}

std::uint64_t QuorvallisCommands::IndexBuilds() const
{
    auto lock = Lock();
    return shortcutIndex_.Builds();
}

void QuorvallisCommands::LoadCommands(std::vector<CommandPtr> commands)
{
    auto lock = Lock();
    allCommands.items_ = std::move(commands);
    shortcutIndex_.Reload();
    searchIndex_.Invalidate();
    matchIndex_.Invalidate();
}

void QuorvallisCommands::AdoptStoredFields(const QuorvallisCommands& other)
{
    if (&other == this)
        return;
    std::scoped_lock both(guard_, other.guard_);
    reserved = other.reserved;
    lastId = other.lastId;
    LoadCommands(other.allCommands.items_);
    groups = other.groups;
    enableOnStart = other.enableOnStart;
    autoStart = other.autoStart;
    firstControlKey = other.firstControlKey;
    secondControlKey = other.secondControlKey;
    lastSelectedGroupId = other.lastSelectedGroupId;
    shownOnce = other.shownOnce;
    // A counter below the stored ids would hand them out again; the
    // reserved ids 0 to 2 are in use even when no group has them.
    int largest = std::max(lastId, 2);
    for (const CommandPtr& command : allCommands) {
        if (command)
            largest = std::max(largest, command->id);
    }
    std::vector<const CommandGroup*> pending;
    for (const GroupPtr& group : groups) {
        if (group)
            pending.push_back(group.get());
    }
    while (!pending.empty()) {
        const CommandGroup* group = pending.back();
        pending.pop_back();
        largest = std::max(largest, group->id);
        for (const GroupPtr& child : group->subgroups) {
            if (child)
                pending.push_back(child.get());
        }
    }
    lastId = largest;
    // Records still running belong to the catalogue that was there before.
    runCounts_.Clear();
}
