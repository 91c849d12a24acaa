#pragma once

#include "catalogue/CommandGroup.h"
#include "catalogue/CommandList.h"
#include "catalogue/CommandMatchIndex.h"
#include "catalogue/CommandSearchIndex.h"
#include "catalogue/QuorvallisCommand.h"
#include "catalogue/RunCountForwarding.h"
#include "catalogue/ShortcutIndex.h"
#include "catalogue/StepType.h"
#include "platform/KeyCodes.h"

#include <boost/shared_ptr.hpp>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
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
//
// The list changes only through the operations (and LoadCommands), which
// keep the shortcut index and the search index in step with it.
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
    // The list of matches of a word being typed (without blanks): the best
    // `limit` commands by shortcut and by name, best first (MatchRanking).
    std::vector<MatchRow> Matches(const std::wstring& word, std::size_t limit) const;
    // Raises the execution count of a command that ran successfully. When the
    // command was replaced by an edit while it ran, the count goes to the
    // record that took its place. Returns the record counted, whose id the
    // main window's row has now (a moved script got a new one); null when
    // the record that took its place was removed since.
    CommandPtr RecordSuccessfulRun(const CommandPtr& command);
    // The count of a command, read under the guard (-1 when there is none).
    int TimesExecuted(int id) const;

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
    // Puts a list as read from a file in place of allCommands, taken as it
    // is (the reader checks it before the catalogue is adopted).
    void LoadCommands(std::vector<CommandPtr> commands);

    // How often the shortcut index was built from the whole list. An edit
    // keeps it in step instead; a rebuild falls on the next typed key.
    std::uint64_t IndexBuilds() const;

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
    CommandList allCommands;
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
    std::vector<CommandPtr>::iterator ListedAt(int id);
    void AppendCommand(const GroupPtr& group, const CommandPtr& command);
    // Puts a successor at a listed record's place, keeping the indexes in step.
    void PutInPlace(std::vector<CommandPtr>::iterator at, const CommandPtr& successor);
    void EraseFromList(std::vector<CommandPtr>::iterator at);
    // Removes the commands of these groups from the list.
    void RemoveCommandsOf(const std::set<int>& groupIds);
    // Every member below is used under the guard; a listed record changed in
    // place takes it to tell the index.
    mutable std::recursive_mutex guard_;
    mutable ShortcutIndex shortcutIndex_{allCommands.items_, guard_};
    RunCountForwarding runCounts_;
    std::atomic<void*> mainWindow_{nullptr};
    // The names and shortcuts of allCommands for SearchCommands.
    CommandSearchIndex searchIndex_;
    // The commands as candidates for Matches, kept in step with the list.
    mutable CommandMatchIndex matchIndex_;
};
