#include "catalogue/ShortcutIndex.h"

#include <algorithm>
#include <utility>

namespace {

wchar_t FoldAsciiLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

} // namespace

bool ShortcutsEqual(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && FoldAsciiLetter(a[i]) != FoldAsciiLetter(b[i]))
            return false;
    }
    return true;
}

std::wstring FoldedShortcut(const std::wstring& shortcut)
{
    std::wstring folded(shortcut);
    for (wchar_t& c : folded)
        c = FoldAsciiLetter(c);
    return folded;
}

bool ShortcutReachable(const std::wstring& shortcut)
{
    return shortcut.find_first_of(L" \"") == std::wstring::npos;
}

ShortcutIndex::ShortcutIndex(const std::vector<CommandPtr>& commands, std::recursive_mutex& guard)
    : commands_(commands),
      guard_(guard)
{
}

ShortcutIndex::~ShortcutIndex()
{
    Clear();
}

void ShortcutIndex::Watch(const CommandPtr& command)
{
    // The index built last keeps the record: the catalogue that adopted a
    // scratch catalogue's records, not the scratch one.
    command->shortcut.index_.store(this, std::memory_order_release);
    command->timesExecuted.index_.store(this, std::memory_order_release);
}

void ShortcutIndex::Unwatch(const CommandPtr& command)
{
    ShortcutIndex* self = this;
    command->shortcut.index_.compare_exchange_strong(self, nullptr, std::memory_order_acq_rel);
    self = this;
    command->timesExecuted.index_.compare_exchange_strong(self, nullptr, std::memory_order_acq_rel);
}

void ShortcutIndex::Clear()
{
    for (const auto& [folded, same] : byShortcut_) {
        for (const Entry& entry : same)
            Unwatch(entry.command);
    }
    byShortcut_.clear();
    ranking_.Reset({});
    ranked_ = false;
    built_ = false;
    nextPlace_ = 0;
}

void ShortcutIndex::Build()
{
    Clear();
    for (const CommandPtr& command : commands_) {
        if (command) {
            byShortcut_[FoldedShortcut(command->shortcut)].push_back({command, nextPlace_});
            Watch(command);
        }
        ++nextPlace_;
    }
    built_ = true;
    ++builds_;
}

void ShortcutIndex::EnsureBuilt()
{
    if (!built_)
        Build();
}

void ShortcutIndex::Reload()
{
    Clear();
}

const std::vector<ShortcutIndex::Entry>* ShortcutIndex::Same(const std::wstring& shortcut)
{
    EnsureBuilt();
    const auto key = byShortcut_.find(FoldedShortcut(shortcut));
    return key == byShortcut_.end() ? nullptr : &key->second;
}

CommandPtr ShortcutIndex::First(const std::wstring& shortcut)
{
    const std::vector<Entry>* same = Same(shortcut);
    return same ? same->front().command : CommandPtr();
}

CommandPtr ShortcutIndex::FirstOther(const std::wstring& shortcut, const QuorvallisCommand* except)
{
    if (const std::vector<Entry>* same = Same(shortcut)) {
        for (const Entry& entry : *same) {
            if (entry.command.get() != except)
                return entry.command;
        }
    }
    return CommandPtr();
}

CommandPtr ShortcutIndex::FirstOtherThanId(const std::wstring& shortcut, int exceptId)
{
    if (const std::vector<Entry>* same = Same(shortcut)) {
        for (const Entry& entry : *same) {
            if (entry.command->id != exceptId)
                return entry.command;
        }
    }
    return CommandPtr();
}

CommandPtr ShortcutIndex::Completion(const std::wstring& word)
{
    EnsureBuilt();
    if (!ranked_) {
        std::vector<CompletionRanking::Entry> entries;
        entries.reserve(commands_.size());
        for (const auto& [folded, same] : byShortcut_) {
            if (!ShortcutReachable(folded))
                continue;
            for (const Entry& entry : same)
                entries.push_back({&folded, entry.command, entry.place});
        }
        ranking_.Reset(std::move(entries));
        ranked_ = true;
        countsStale_ = false;
    } else if (countsStale_) {
        ranking_.Recount();
        countsStale_ = false;
    }
    return ranking_.Best(FoldedShortcut(word));
}

void ShortcutIndex::Insert(const CommandPtr& command, std::uint64_t place)
{
    const auto key = byShortcut_.try_emplace(FoldedShortcut(command->shortcut)).first;
    std::vector<Entry>& same = key->second;
    same.insert(std::find_if(same.begin(), same.end(), [place](const Entry& entry) { return entry.place > place; }),
                {command, place});
    if (ranked_ && ShortcutReachable(key->first))
        ranking_.Insert({&key->first, command, place});
    Watch(command);
}

std::uint64_t ShortcutIndex::Erase(Map::iterator key, std::vector<Entry>::iterator at)
{
    const std::uint64_t place = at->place;
    const CommandPtr command = at->command;
    // The ranking's entry points at the key, so it goes first.
    if (ranked_)
        ranking_.Erase(key->first, command);
    key->second.erase(at);
    const bool listedAgain = std::any_of(key->second.begin(), key->second.end(),
                                         [&command](const Entry& entry) { return entry.command == command; });
    if (!listedAgain)
        Unwatch(command);
    if (key->second.empty())
        byShortcut_.erase(key);
    return place;
}

void ShortcutIndex::Appended(const CommandPtr& command)
{
    // Unbuilt, the list is read whole at the first lookup.
    if (!built_)
        return;
    Insert(command, nextPlace_++);
}

void ShortcutIndex::Removed(const CommandPtr& command)
{
    if (!built_)
        return;
    const auto key = byShortcut_.find(FoldedShortcut(command->shortcut));
    if (key == byShortcut_.end())
        return;
    const auto at = std::find_if(key->second.begin(), key->second.end(),
                                 [&command](const Entry& entry) { return entry.command == command; });
    if (at != key->second.end())
        Erase(key, at);
}

void ShortcutIndex::Replaced(const CommandPtr& old, const CommandPtr& successor)
{
    if (!built_)
        return;
    const auto key = byShortcut_.find(FoldedShortcut(old->shortcut));
    auto at = key == byShortcut_.end() ? std::vector<Entry>::iterator()
                                       : std::find_if(key->second.begin(), key->second.end(),
                                                      [&old](const Entry& entry) { return entry.command == old; });
    if (key == byShortcut_.end() || at == key->second.end()) {
        // Every listed record is indexed; read the list again rather than guess a place.
        Reload();
        return;
    }
    // The successor keeps the old record's place, also among the commands
    // that share its new shortcut.
    Insert(successor, Erase(key, at));
}

void ShortcutIndex::CountRun(const CommandPtr& command)
{
    command->timesExecuted.Raise();
    ++countChanges_;
    // One leaf of the ranking moves instead of every count read again.
    if (ranked_ && !countsStale_)
        ranking_.Recount(FoldedShortcut(command->shortcut), command);
}

void ShortcutIndex::ShortcutChanged(const ShortcutText& shortcut, const std::wstring& before)
{
    std::lock_guard<std::recursive_mutex> lock(guard_);
    if (!built_)
        return;
    const auto key = byShortcut_.find(FoldedShortcut(before));
    if (key == byShortcut_.end())
        return;
    // A change of case alone keeps the folded key.
    if (key->first == FoldedShortcut(shortcut.str()))
        return;
    // A file may list a record twice: every entry moves, keeping its place.
    std::vector<Entry>& same = key->second;
    std::vector<std::uint64_t> places;
    CommandPtr command;
    for (auto at = same.begin(); at != same.end();) {
        if (&at->command->shortcut != &shortcut) {
            ++at;
            continue;
        }
        command = at->command;
        places.push_back(at->place);
        if (ranked_)
            ranking_.Erase(key->first, command);
        at = same.erase(at);
    }
    if (same.empty())
        byShortcut_.erase(key);
    for (const std::uint64_t place : places)
        Insert(command, place);
}

void ShortcutIndex::CountAssigned()
{
    std::lock_guard<std::recursive_mutex> lock(guard_);
    countsStale_ = true;
    ++countChanges_;
}
