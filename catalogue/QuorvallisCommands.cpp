#include "catalogue/QuorvallisCommands.h"

#include <algorithm>
#include <climits>
#include <set>
#include <utility>

namespace {

wchar_t FoldAsciiLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

std::wstring Folded(const std::wstring& shortcut) {
    std::wstring folded(shortcut);
    for (wchar_t& c : folded) c = FoldAsciiLetter(c);
    return folded;
}

// The typed line splits at these, so a shortcut with one never runs.
bool Reachable(const std::wstring& shortcut) {
    return shortcut.find_first_of(L" \"") == std::wstring::npos;
}

GroupPtr CopyOfTree(const CommandGroup& group) {
    GroupPtr copy(new CommandGroup(group));
    for (GroupPtr& child : copy->subgroups) {
        if (child) child = CopyOfTree(*child);
    }
    return copy;
}

void CollectGroupIds(const CommandGroup& group, std::set<int>& ids) {
    ids.insert(group.id);
    for (const GroupPtr& child : group.subgroups) {
        if (child) CollectGroupIds(*child, ids);
    }
}

}  // namespace

bool ShortcutsEqual(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && FoldAsciiLetter(a[i]) != FoldAsciiLetter(b[i])) return false;
    }
    return true;
}

QuorvallisCommands::QuorvallisCommands() {
    groups.push_back(GroupPtr(new CommandGroup(0, 3, L"General")));
    groups.push_back(GroupPtr(new CommandGroup(1, 4, L"Scripts")));
}

QuorvallisCommands::QuorvallisCommands(boost::shared_ptr<QuorvallisPluginsManager> plugins)
    : QuorvallisCommands() {
    pluginsManager = std::move(plugins);
}

QuorvallisCommands::~QuorvallisCommands() = default;

std::unique_lock<std::recursive_mutex> QuorvallisCommands::Lock() const {
    return std::unique_lock<std::recursive_mutex>(guard_);
}

GroupPtr QuorvallisCommands::FindGroup(int id) const {
    auto lock = Lock();
    for (const GroupPtr& group : groups) {
        if (!group) continue;
        if (group->id == id) return group;
        if (GroupPtr found = group->FindSubgroup(id)) return found;
    }
    return GroupPtr();
}

bool QuorvallisCommands::ShortcutTaken(const std::wstring& shortcut, const QuorvallisCommand* except) const {
    const std::vector<IndexedCommand>* same = CommandsWithShortcut(shortcut);
    if (!same) return false;
    for (const IndexedCommand& entry : *same) {
        if (entry.command.get() != except) return true;
    }
    return false;
}

bool QuorvallisCommands::IndexCurrent() const {
    // Any shortcut assigned since, on a listed record or not, may have moved
    // a record to another key.
    return indexValid_ && indexedData_ == allCommands.data() && indexedSize_ == allCommands.size() &&
           indexedChanges_ == ShortcutText::Changes();
}

void QuorvallisCommands::RebuildIndex() const {
    // Read first: a change made during the walk makes the next check rebuild.
    indexedChanges_ = ShortcutText::Changes();
    ++indexVersion_;
    byShortcut_.clear();
    nextPlace_ = 0;
    for (const CommandPtr& command : allCommands) {
        if (command) byShortcut_[Folded(command->shortcut)].push_back({command, nextPlace_});
        ++nextPlace_;
    }
    indexValid_ = true;
    indexedData_ = allCommands.data();
    indexedSize_ = allCommands.size();
}

const std::vector<QuorvallisCommands::IndexedCommand>* QuorvallisCommands::CommandsWithShortcut(
    const std::wstring& shortcut) const {
    if (!IndexCurrent()) RebuildIndex();
    const std::wstring key = Folded(shortcut);
    auto it = byShortcut_.find(key);
    if (it == byShortcut_.end()) return nullptr;
    for (const IndexedCommand& entry : it->second) {
        if (!ShortcutsEqual(entry.command->shortcut, shortcut)) {
            // A listed record was changed behind the operations' back.
            RebuildIndex();
            it = byShortcut_.find(key);
            return it == byShortcut_.end() ? nullptr : &it->second;
        }
    }
    return &it->second;
}

void QuorvallisCommands::IndexAppended(bool wasCurrent, const CommandPtr& command) {
    if (!wasCurrent) {
        indexValid_ = false;
        return;
    }
    // Appended to allCommands, so it is also the last of its shortcut.
    IndexInserted(command, nextPlace_++);
    indexedData_ = allCommands.data();
    indexedSize_ = allCommands.size();
}

std::uint64_t QuorvallisCommands::IndexRemoved(bool wasCurrent, const CommandPtr& command) {
    indexValid_ = false;
    if (!wasCurrent) return 0;
    auto it = byShortcut_.find(Folded(command->shortcut));
    if (it == byShortcut_.end()) return 0;
    auto at = std::find_if(it->second.begin(), it->second.end(),
                           [&command](const IndexedCommand& entry) { return entry.command == command; });
    if (at == it->second.end()) return 0;
    const std::uint64_t place = at->place;
    // The ranking's entry points at the key, so it goes first.
    if (rankedVersion_ == indexVersion_++) {
        ranking_.Erase(it->first, command);
        rankedVersion_ = indexVersion_;
    }
    it->second.erase(at);
    if (it->second.empty()) byShortcut_.erase(it);
    indexValid_ = true;
    indexedData_ = allCommands.data();
    indexedSize_ = allCommands.size();
    return place;
}

int QuorvallisCommands::NextId() const {
    return lastId < INT_MAX ? lastId + 1 : 0;
}

int QuorvallisCommands::DepthOf(const CommandGroup* group) const {
    std::vector<std::pair<const CommandGroup*, int>> pending;
    for (const GroupPtr& top : groups) {
        if (top) pending.emplace_back(top.get(), 1);
    }
    while (!pending.empty()) {
        const auto [current, depth] = pending.back();
        pending.pop_back();
        if (current == group) return depth;
        for (const GroupPtr& child : current->subgroups) {
            if (child) pending.emplace_back(child.get(), depth + 1);
        }
    }
    return 0;
}

void QuorvallisCommands::AppendCommand(const GroupPtr& group, const CommandPtr& command) {
    const int id = lastId + 1;
    const bool indexed = IndexCurrent();
    allCommands.push_back(command);
    IndexAppended(indexed, command);
    group->commandIds.push_back(id);
    command->id = id;
    command->groupId = group->id;
    lastId = id;
}

CommandPtr QuorvallisCommands::AddCommand(int groupId, const std::wstring& name, const std::wstring& notes,
                                          int iconIndex, const std::wstring& shortcut) {
    auto lock = Lock();
    GroupPtr group = FindGroup(groupId);
    if (!group || NextId() == 0 || ShortcutTaken(shortcut, nullptr)) return CommandPtr();
    CommandPtr command(new QuorvallisCommand(lastId + 1, name, notes, iconIndex, group->id, shortcut));
    AppendCommand(group, command);
    return command;
}

CommandPtr QuorvallisCommands::AddCommand(int groupId, const std::wstring& name, const std::wstring& notes,
                                          int iconIndex, const std::wstring& shortcut, StepType type,
                                          const std::wstring& text) {
    CommandPtr command(new QuorvallisCommand(0, name, notes, iconIndex, groupId, shortcut));
    if (!command->SetRegularStep(type, text)) return CommandPtr();
    // Published by the append, with its step already in place.
    return InsertCommand(groupId, command) ? command : CommandPtr();
}

bool QuorvallisCommands::InsertCommand(int groupId, const CommandPtr& command) {
    auto lock = Lock();
    if (!command) return false;
    GroupPtr group = FindGroup(groupId);
    // A record already listed has its own shortcut, so it is refused here too.
    if (!group || NextId() == 0 || ShortcutTaken(command->shortcut, nullptr)) return false;
    AppendCommand(group, command);
    return true;
}

CommandPtr QuorvallisCommands::FindCommand(int id) const {
    auto lock = Lock();
    for (const CommandPtr& command : allCommands) {
        if (command && command->id == id) return command;
    }
    return CommandPtr();
}

bool QuorvallisCommands::ReplaceCommand(int id, const CommandPtr& command) {
    auto lock = Lock();
    // The record may have been edited in place before it is handed back.
    searchIndex_.Invalidate();
    if (!command) return false;
    auto at = std::find_if(allCommands.begin(), allCommands.end(),
                           [id](const CommandPtr& c) { return c && c->id == id; });
    if (at == allCommands.end()) return false;
    const CommandPtr old = *at;
    if (command == old) return true;
    // Another listed record in this place would be listed twice.
    if (std::find(allCommands.begin(), allCommands.end(), command) != allCommands.end()) return false;

    if (command->groupId == old->groupId) {
        command->timesExecuted = old->timesExecuted;
        PutInPlace(at, command);
    } else {
        GroupPtr group = FindGroup(command->groupId);
        if (!group || NextId() == 0 || ShortcutTaken(command->shortcut, old.get())) return false;
        // The editor's copy may hold a count that runs have raised since.
        command->timesExecuted = old->timesExecuted;
        const bool indexed = IndexCurrent();
        allCommands.erase(at);
        IndexRemoved(indexed, old);
        AppendCommand(group, command);
    }
    NoteReplacement(old, command);
    return true;
}

bool QuorvallisCommands::UpdateCommand(int id, const CommandPtr& edited) {
    auto lock = Lock();
    if (!edited) return false;
    auto at = std::find_if(allCommands.begin(), allCommands.end(),
                           [id](const CommandPtr& c) { return c && c->id == id; });
    if (at == allCommands.end()) return false;
    const CommandPtr old = *at;
    if (edited == old) return true;
    if (std::find(allCommands.begin(), allCommands.end(), edited) != allCommands.end()) return false;
    GroupPtr group = FindGroup(edited->groupId);
    if (!group) return false;
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
    searchIndex_.Invalidate();
    NoteReplacement(old, edited);
    return true;
}

void QuorvallisCommands::PutInPlace(std::vector<CommandPtr>::iterator at, const CommandPtr& successor) {
    const CommandPtr old = *at;
    const bool indexed = IndexCurrent();
    *at = successor;
    const std::uint64_t place = IndexRemoved(indexed, old);
    // The successor keeps the old record's place, also among the commands
    // that share its new shortcut.
    if (IndexCurrent()) IndexInserted(successor, place);
}

void QuorvallisCommands::IndexInserted(const CommandPtr& command, std::uint64_t place) {
    const auto key = byShortcut_.try_emplace(Folded(command->shortcut)).first;
    std::vector<IndexedCommand>& same = key->second;
    same.insert(std::find_if(same.begin(), same.end(), [place](const IndexedCommand& entry) { return entry.place > place; }),
                {command, place});
    if (rankedVersion_ == indexVersion_++) {
        if (Reachable(key->first)) ranking_.Insert({&key->first, command, place});
        rankedVersion_ = indexVersion_;
    }
}

CommandPtr QuorvallisCommands::ShortcutHolder(const std::wstring& shortcut, int exceptId) const {
    auto lock = Lock();
    const std::vector<IndexedCommand>* same = CommandsWithShortcut(shortcut);
    if (!same) return CommandPtr();
    for (const IndexedCommand& entry : *same) {
        if (entry.command->id != exceptId) return entry.command;
    }
    return CommandPtr();
}

std::unique_ptr<QuorvallisCommands> QuorvallisCommands::StoredSnapshot() const {
    auto snapshot = std::make_unique<QuorvallisCommands>();
    auto lock = Lock();
    snapshot->reserved = reserved;
    snapshot->lastId = lastId;
    snapshot->allCommands = allCommands;
    snapshot->groups.clear();
    snapshot->groups.reserve(groups.size());
    for (const GroupPtr& group : groups) snapshot->groups.push_back(group ? CopyOfTree(*group) : GroupPtr());
    snapshot->enableOnStart = enableOnStart;
    snapshot->autoStart = autoStart;
    snapshot->firstControlKey = firstControlKey;
    snapshot->secondControlKey = secondControlKey;
    snapshot->lastSelectedGroupId = lastSelectedGroupId;
    snapshot->shownOnce = shownOnce;
    return snapshot;
}

void QuorvallisCommands::NoteReplacement(const CommandPtr& old, const CommandPtr& successor) {
    // The successor is in the catalogue again, whatever it replaced before.
    replacedBy_.erase(successor);
    // Every entry points straight at the record in the catalogue, so a count
    // never has to follow a chain whose middle links are gone.
    for (auto& entry : replacedBy_) {
        if (entry.second.lock() == old) entry.second = successor;
    }
    replacedBy_[old] = successor;
    PruneReplacements();
}

void QuorvallisCommands::PruneReplacements() {
    for (auto it = replacedBy_.begin(); it != replacedBy_.end();) {
        // use_count 1: nobody else holds the old record, so nobody can report
        // a run of it; no other thread can take a new reference meanwhile.
        if (it->first.use_count() == 1 || it->second.expired())
            it = replacedBy_.erase(it);
        else
            ++it;
    }
}

bool QuorvallisCommands::RemoveCommand(int id) {
    auto lock = Lock();
    auto at = std::find_if(allCommands.begin(), allCommands.end(),
                           [id](const CommandPtr& c) { return c && c->id == id; });
    if (at == allCommands.end()) return false;
    const CommandPtr removed = *at;
    const bool indexed = IndexCurrent();
    allCommands.erase(at);
    IndexRemoved(indexed, removed);
    return true;
}

GroupPtr QuorvallisCommands::AddTopGroup(int id, const std::wstring& name) {
    auto lock = Lock();
    for (const GroupPtr& group : groups) {
        if (group && group->id == id) return GroupPtr();
    }
    GroupPtr group(new CommandGroup(id, 21, name));
    groups.push_back(group);
    return group;
}

GroupPtr QuorvallisCommands::AddSubgroup(const GroupPtr& parent, const std::wstring& name, int iconIndex) {
    auto lock = Lock();
    if (!parent || NextId() == 0) return GroupPtr();
    // A group too deep for the file would make every later save fail. A
    // parent outside the tree counts as a top-level group.
    const int parentDepth = std::max(DepthOf(parent.get()), 1);
    if (parentDepth >= kMaxGroupDepth) return GroupPtr();
    GroupPtr group(new CommandGroup(lastId + 1, iconIndex, name));
    parent->subgroups.push_back(group);
    ++lastId;
    return group;
}

GroupPtr QuorvallisCommands::AddGroup(const std::wstring& name, int iconIndex) {
    auto lock = Lock();
    if (NextId() == 0) return GroupPtr();
    GroupPtr group(new CommandGroup(lastId + 1, iconIndex, name));
    groups.push_back(group);
    ++lastId;
    return group;
}

int QuorvallisCommands::GroupDepth(int groupId) const {
    auto lock = Lock();
    GroupPtr group = FindGroup(groupId);
    return group ? DepthOf(group.get()) : 0;
}

bool QuorvallisCommands::RemoveGroup(int id) {
    auto lock = Lock();
    // The same walk as the removal below, so both find the same group.
    GroupPtr target;
    for (const GroupPtr& group : groups) {
        if (group && group->id == id) {
            target = group;
            break;
        }
    }
    if (!target) target = FindGroup(id);
    if (!target) return false;

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
        if (!removed) return false;
    }
    allCommands.erase(std::remove_if(allCommands.begin(), allCommands.end(),
                                     [&removedIds](const CommandPtr& c) {
                                         return c && removedIds.count(c->groupId) != 0;
                                     }),
                      allCommands.end());
    indexValid_ = false;
    return true;
}

int QuorvallisCommands::SearchCommands(const std::wstring& text) {
    auto lock = Lock();
    searchResults.clear();
    searchIndex_.Search(allCommands, text, searchResults);
    return static_cast<int>(searchResults.size());
}

CommandPtr QuorvallisCommands::FindCommandByShortcut(const std::wstring& shortcut) const {
    auto lock = Lock();
    const std::vector<IndexedCommand>* same = CommandsWithShortcut(shortcut);
    return same ? same->front().command : CommandPtr();
}

CommandPtr QuorvallisCommands::CompletionFor(const std::wstring& word) const {
    auto lock = Lock();
    // A word that holds a separator is no longer the shortcut alone.
    if (word.empty() || !Reachable(word)) return CommandPtr();
    if (!IndexCurrent()) RebuildIndex();
    // The changes are read before the counts, so a change made meanwhile
    // makes the next call read them again.
    const std::uint64_t counts = ExecutionCount::Changes();
    if (rankedVersion_ != indexVersion_) {
        std::vector<CompletionRanking::Entry> entries;
        entries.reserve(allCommands.size());
        for (const auto& [folded, same] : byShortcut_) {
            if (!Reachable(folded)) continue;
            for (const IndexedCommand& entry : same) entries.push_back({&folded, entry.command, entry.place});
        }
        ranking_.Reset(std::move(entries));
        rankedVersion_ = indexVersion_;
    } else if (rankedCounts_ != counts) {
        ranking_.Recount();
    }
    rankedCounts_ = counts;
    return ranking_.Best(Folded(word));
}

void QuorvallisCommands::RecordSuccessfulRun(const CommandPtr& command) {
    auto lock = Lock();
    if (!command) return;
    auto entry = replacedBy_.find(command);
    if (entry != replacedBy_.end()) {
        // Replaced while it ran: the count belongs to the record in its place.
        // When that one was removed meanwhile, the count goes nowhere.
        if (CommandPtr successor = entry->second.lock()) RaiseCount(successor);
        PruneReplacements();
        return;
    }
    RaiseCount(command);
}

void QuorvallisCommands::RaiseCount(const CommandPtr& command) {
    const std::uint64_t before = ExecutionCount::Changes();
    ++command->timesExecuted;
    // When the ranking had every count and this is the only change since,
    // one leaf of it moves instead of all of them.
    if (rankedCounts_ == before && ExecutionCount::Changes() == before + 1 && rankedVersion_ == indexVersion_ &&
        IndexCurrent()) {
        ranking_.Recount(Folded(command->shortcut), command);
        rankedCounts_ = before + 1;
    }
}

int QuorvallisCommands::TimesExecuted(int id) const {
    auto lock = Lock();
    CommandPtr command = FindCommand(id);
    return command ? command->timesExecuted.get() : -1;
}

void QuorvallisCommands::AdoptStoredFields(const QuorvallisCommands& other) {
    if (&other == this) return;
    std::scoped_lock both(guard_, other.guard_);
    reserved = other.reserved;
    lastId = other.lastId;
    allCommands = other.allCommands;
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
        if (command) largest = std::max(largest, command->id);
    }
    std::vector<const CommandGroup*> pending;
    for (const GroupPtr& group : groups) {
        if (group) pending.push_back(group.get());
    }
    while (!pending.empty()) {
        const CommandGroup* group = pending.back();
        pending.pop_back();
        largest = std::max(largest, group->id);
        for (const GroupPtr& child : group->subgroups) {
            if (child) pending.push_back(child.get());
        }
    }
    lastId = largest;
    // Records still running belong to the catalogue that was there before.
    replacedBy_.clear();
    indexValid_ = false;
}
