#pragma once

#include "catalogue/CommandGroup.h"
#include "catalogue/CommandSearchIndex.h"
#include "catalogue/CompletionRanking.h"
#include "catalogue/QuorvallisCommand.h"
#include "catalogue/StepType.h"
#include "platform/KeyCodes.h"

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include <atomic>
#include <cstdint>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class QuorvallisPluginsManager;

// The user's whole catalogue: every command, the group tree, the id counter
// shared by groups and commands, the preferences, the plugin manager and the
// run-time state of typing mode.
//
// Editing happens on the user-interface thread; worker threads running typed
// lines look commands up and raise their counts at the same time. Every
// operation takes the guard, and readers on other threads hold a shared
// reference to the command they run, so an edit never pulls a command from
// under a running step and a count is never lost (see RecordSuccessfulRun).
//
// What the user-interface thread must do in turn:
// - change listed records only through the operations: edit a copy and
//   UpdateCommand or ReplaceCommand it, since workers read listed records at
//   any time;
// - give a new regular command its step through the AddCommand that takes
//   it, so no worker finds the command before it has its step.
// Listed records are therefore never changed in place, except for their
// counts (atomic), and a snapshot may share them with a writer thread.
class QuorvallisCommands {
public:
    // A catalogue without plugins (tests, scratch copies while reading a file).
    QuorvallisCommands();
    // The program's catalogue: the manager has already been given its folder
    // and scanned it.
    explicit QuorvallisCommands(boost::shared_ptr<QuorvallisPluginsManager> pluginsManager);
    QuorvallisCommands(const QuorvallisCommands&) = delete;
    QuorvallisCommands& operator=(const QuorvallisCommands&) = delete;
    virtual ~QuorvallisCommands();

    // Groups nest at most this deep (top-level groups are depth 1): the file
    // holds no deeper tree.
    static constexpr int kMaxGroupDepth = 200;

    CommandPtr AddCommand(int groupId, const std::wstring& name, const std::wstring& notes, int iconIndex,
                          const std::wstring& shortcut);
    // A new regular command with its single step, complete before any worker
    // can find it.
    CommandPtr AddCommand(int groupId, const std::wstring& name, const std::wstring& notes, int iconIndex,
                          const std::wstring& shortcut, StepType type, const std::wstring& text);
    bool InsertCommand(int groupId, const CommandPtr& command);
    CommandPtr FindCommand(int id) const;
    bool ReplaceCommand(int id, const CommandPtr& command);
    // Puts an edited copy in the place of the command with that id: it keeps
    // the id, the place in allCommands and the count, also when its group
    // changed. Refused, changing nothing, when no command has the id, the
    // copy's group is not in the tree, or its shortcut was changed to one
    // that another command has.
    bool UpdateCommand(int id, const CommandPtr& edited);
    // The first command, other than the one with `exceptId`, whose shortcut
    // equals this one as typed lines are looked up; null when there is none.
    CommandPtr ShortcutHolder(const std::wstring& shortcut, int exceptId) const;
    bool RemoveCommand(int id);
    GroupPtr AddTopGroup(int id, const std::wstring& name);
    GroupPtr AddSubgroup(const GroupPtr& parent, const std::wstring& name, int iconIndex);
    // A new top-level group with the next id (the tree may have none left).
    GroupPtr AddGroup(const std::wstring& name, int iconIndex);
    // Depth of a group in the tree (top-level 1), 0 when it is not in it.
    int GroupDepth(int groupId) const;
    bool RemoveGroup(int id);
    int SearchCommands(const std::wstring& text);
    GroupPtr FindGroup(int id) const;

    // The typed-line lookup: first command of allCommands whose shortcut
    // equals the word, letters A to Z compared without regard to case.
    CommandPtr FindCommandByShortcut(const std::wstring& shortcut) const;
    // The completion of a word being typed: among the commands whose shortcut
    // starts with it (compared as the lookup compares), the one run most
    // often, then the first in allCommands. Shortcuts that a typed line
    // cannot reach (with a space or a double quote) are left out; null when
    // nothing matches, or the word is empty or holds one of those.
    CommandPtr CompletionFor(const std::wstring& word) const;
    // Raises the execution count of a command that ran successfully. When the
    // command was replaced by an edit while it ran, the count goes to the
    // record that took its place. Returns the record counted, whose id the
    // main window's row has now (a moved script got a new one); null when
    // the record that took its place was removed since.
    CommandPtr RecordSuccessfulRun(const CommandPtr& command);
    // The count of a command, read under the guard (-1 when there is none).
    int TimesExecuted(int id) const;
    // How often the shortcut index was built from the whole list. An edit
    // keeps it in step instead; a rebuild falls on the next typed key.
    std::uint64_t IndexBuilds() const { return indexBuilds_; }

    // The stored fields as they are now, for writing on another thread. The
    // command list shares the records (they are replaced, never changed, and
    // their counts are atomic); the group tree is copied, since groups are
    // edited in place.
    std::unique_ptr<QuorvallisCommands> StoredSnapshot() const;

    // Replaces every stored field (lists, counter, preferences) with those of
    // another catalogue, in one step under the guard; used after a file was
    // read completely into a scratch catalogue. The counter is raised to the
    // largest id in use, so that new ids never collide with stored ones.
    void AdoptStoredFields(const QuorvallisCommands& other);

    // The main window, receiver of the executed-command notice (null when
    // there is none). Set and cleared by the user-interface thread, read by
    // workers at any time.
    void SetMainWindow(void* window) { mainWindow_.store(window); }
    void* MainWindow() const { return mainWindow_.load(); }

    // Holds the guard for a walk over the lists that must see one consistent
    // state, such as writing the file. The guard is recursive.
    std::unique_lock<std::recursive_mutex> Lock() const;

    // Stored fields, in stored order.
    int reserved = 0;
    int lastId = 2;
    std::vector<CommandPtr> allCommands;
    std::vector<CommandPtr> searchResults;
    std::vector<GroupPtr> groups;
    bool enableOnStart = true;
    bool autoStart = false;
    unsigned firstControlKey = KeyCode::Control;
    unsigned secondControlKey = KeyCode::Control;
    int lastSelectedGroupId = 0;
    bool shownOnce = false;

    boost::shared_ptr<QuorvallisPluginsManager> pluginsManager;

    // Typing state machine (user-interface thread only); not stored.
    int previousKey = -1;
    int typingState = 0;

private:
    // The next id, or 0 when the counter is at the largest int: ids never
    // wrap onto ids in use.
    int NextId() const;
    // Depth of a group in the tree (top-level 1), 0 when it is not in it.
    int DepthOf(const CommandGroup* group) const;
    bool ShortcutTaken(const std::wstring& shortcut, const QuorvallisCommand* except) const;
    void AppendCommand(const GroupPtr& group, const CommandPtr& command);
    // Puts a successor at a listed record's place, keeping the index in step.
    void PutInPlace(std::vector<CommandPtr>::iterator at, const CommandPtr& successor);
    void NoteReplacement(const CommandPtr& old, const CommandPtr& successor);
    void RaiseCount(const CommandPtr& command);
    void PruneReplacements();
    // A listed command with its place in allCommands: places only grow
    // along the list, so removals elsewhere never renumber them.
    struct IndexedCommand {
        CommandPtr command;
        std::uint64_t place;
    };
    // The commands whose shortcut equals this one, in allCommands order.
    const std::vector<IndexedCommand>* CommandsWithShortcut(const std::wstring& shortcut) const;
    bool IndexCurrent() const;
    void RebuildIndex() const;
    // Called right after the change, with IndexCurrent() from right before it.
    void IndexAppended(bool wasCurrent, const CommandPtr& command);
    // Returns the place the command had in the index.
    std::uint64_t IndexRemoved(bool wasCurrent, const CommandPtr& command);
    // Puts a command into a current index at that place; the ranking too,
    // when it is current.
    void IndexInserted(const CommandPtr& command, std::uint64_t place);

    mutable std::recursive_mutex guard_;
    // Records replaced by ReplaceCommand while a worker may still run them,
    // mapped to the record now in the catalogue. The key keeps the old record
    // alive, so its address cannot be reused by a new record; an entry goes
    // once nobody but this map holds the old record or its successor is gone.
    std::map<CommandPtr, boost::weak_ptr<QuorvallisCommand>> replacedBy_;
    // allCommands by folded shortcut, so that a typed line does not walk a
    // long list; sorted, so that the shortcuts a typed word completes lie
    // side by side. Kept in step by the operations; rebuilt when allCommands
    // was changed from outside (its size or storage differs) or a hit no
    // longer matches.
    mutable std::map<std::wstring, std::vector<IndexedCommand>> byShortcut_;
    // The place the next appended command gets.
    mutable std::uint64_t nextPlace_ = 0;
    // Raised whenever byShortcut_ changes.
    mutable std::uint64_t indexVersion_ = 0;
    mutable std::uint64_t indexBuilds_ = 0;
    // byShortcut_ for CompletionFor: kept in step with it by the operations,
    // made again when the index was rebuilt, its counts read again when
    // ExecutionCount::Changes() moved other than by RecordSuccessfulRun.
    mutable CompletionRanking ranking_;
    mutable std::uint64_t rankedVersion_ = ~std::uint64_t{0};
    mutable std::uint64_t rankedCounts_ = 0;
    mutable bool indexValid_ = false;
    mutable const CommandPtr* indexedData_ = nullptr;
    mutable size_t indexedSize_ = 0;
    // ShortcutText::Changes() when the index was built or last kept in step.
    mutable std::uint64_t indexedChanges_ = 0;
    std::atomic<void*> mainWindow_{nullptr};
    // The names and shortcuts of allCommands for SearchCommands.
    CommandSearchIndex searchIndex_;
};

// Shortcut comparison: whole strings, case folded for the letters A to Z only.
bool ShortcutsEqual(const std::wstring& a, const std::wstring& b);
