#pragma once

#include "catalogue/CompletionRanking.h"
#include "catalogue/QuorvallisCommand.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

// The catalogue's list by folded shortcut, so that a typed line does not walk
// a long list; sorted, so that the shortcuts a typed word completes lie side
// by side, with the completion's ranking over it.
//
// Kept exact by whoever changes the list: the catalogue's operations call
// the change members right after they changed it, and a listed record whose
// shortcut or count is assigned in place tells the index itself (see
// ShortcutText, ExecutionCount). Built from the whole list at the first
// lookup after Reload. Every member but the two a record calls runs under
// the catalogue's guard.
class ShortcutIndex {
public:
    ShortcutIndex(const std::vector<CommandPtr>& commands, std::recursive_mutex& guard);
    ShortcutIndex(const ShortcutIndex&) = delete;
    ShortcutIndex& operator=(const ShortcutIndex&) = delete;
    ~ShortcutIndex();

    // The first listed command whose shortcut equals this one; null when none.
    CommandPtr First(const std::wstring& shortcut);
    // The first such command other than `except`.
    CommandPtr FirstOther(const std::wstring& shortcut, const QuorvallisCommand* except);
    CommandPtr FirstOtherThanId(const std::wstring& shortcut, int exceptId);
    // The completion of a typed word (not empty, without a separator): among
    // the reachable shortcuts that start with it, the most run, then the
    // first listed.
    CommandPtr Completion(const std::wstring& word);

    // The command was appended to the list.
    void Appended(const CommandPtr& command);
    // `successor` took the place of `old` in the list.
    void Replaced(const CommandPtr& old, const CommandPtr& successor);
    // The command left the list.
    void Removed(const CommandPtr& command);
    // The list was replaced as a whole.
    void Reload();
    // Counts a run of the command, listed or not.
    void CountRun(const CommandPtr& command);

    // How often the index was built from the whole list.
    std::uint64_t Builds() const { return builds_; }
    // Grows with every count raised, or assigned to a listed record; counts
    // are followed once the index is built.
    std::uint64_t CountChanges()
    {
        EnsureBuilt();
        return countChanges_;
    }

private:
    friend class ShortcutText;
    friend class ExecutionCount;
    // Called by a listed record after the change, from any thread.
    void ShortcutChanged(const ShortcutText& shortcut, const std::wstring& before);
    void CountAssigned();

    // A listed command with its place in the list: places only grow along
    // the list, so removals elsewhere never renumber them.
    struct Entry {
        CommandPtr command;
        std::uint64_t place;
    };
    using Map = std::map<std::wstring, std::vector<Entry>>;

    void EnsureBuilt();
    void Build();
    void Clear();
    const std::vector<Entry>* Same(const std::wstring& shortcut);
    void Insert(const CommandPtr& command, std::uint64_t place);
    // Takes the entry out; returns its place.
    std::uint64_t Erase(Map::iterator key, std::vector<Entry>::iterator at);
    void Watch(const CommandPtr& command);
    void Unwatch(const CommandPtr& command);

    const std::vector<CommandPtr>& commands_;
    std::recursive_mutex& guard_;
    Map byShortcut_;
    bool built_ = false;
    // The place the next appended command gets.
    std::uint64_t nextPlace_ = 0;
    std::uint64_t builds_ = 0;
    std::uint64_t countChanges_ = 0;
    // byShortcut_'s reachable entries for Completion: made at its first call
    // after a build, kept in step after that; its counts read again after an
    // assignment.
    CompletionRanking ranking_;
    bool ranked_ = false;
    bool countsStale_ = false;
};

// Shortcut comparison: whole strings, case folded for the letters A to Z only.
bool ShortcutsEqual(const std::wstring& a, const std::wstring& b);
// The shortcut as the index folds it.
std::wstring FoldedShortcut(const std::wstring& shortcut);
// The typed line splits at a blank or a double quote, so a shortcut with one never runs.
bool ShortcutReachable(const std::wstring& shortcut);
