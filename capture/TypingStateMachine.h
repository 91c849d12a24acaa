#pragma once

#include "capture/KeyOrderModifiers.h"
#include "catalogue/MatchRow.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class QuorvallisCommands;
class ITypingPopup;
class ILineWorkers;
class IMatchList;
class IMatchSource;

// Decides for every key event of the desktop whether it passes or is
// swallowed: watches for the two control keys while idle, then echoes keys
// in the popup until Enter runs the line or Escape drops it. While the
// shortcut is typed, the popup suggests how it may end; Right arrow or End
// takes the suggestion. With a list of matches, the commands the first word
// finds by shortcut or name are listed too: Down, Up, Tab and Shift+Tab move
// the highlight and Enter runs the highlighted one with the rest of the line.
// The state lives in the catalogue (previousKey, typingState); everything
// runs on the user-interface thread.
class TypingStateMachine {
public:
    static constexpr int kPass = 1;
    static constexpr int kSwallow = 0;
    static constexpr int kIdle = 0;
    static constexpr int kTyping = 1;

    // The list shows at most this many rows.
    static constexpr std::size_t kMaxRows = 6;

    // Without a list (null), or with it switched off, keys behave as they
    // did before there was one.
    TypingStateMachine(QuorvallisCommands& catalogue, ITypingPopup& popup, ILineWorkers& workers,
                       IMatchList* matches = nullptr);

    // Rows of another source (the Start menu's programs) join the
    // commands' in the list; Enter on one of them runs it through the source.
    void SetOtherMatches(IMatchSource* others) { others_ = others; }

    // Switches the list on or off; takes effect from the next key.
    void ShowMatches(bool shown);
    bool MatchesShown() const { return matches_ && matchesShown_; }

    // One key event as the keyboard hook saw it: the virtual-key code and the
    // keystroke flags. Returns kPass or kSwallow.
    int OnKeyEvent(unsigned virtualKey, std::uint32_t flags);
    // Called once the hook has its answer (the message replied to), so the
    // key never waits on the search: shows the completion of the line and
    // the list of matches as the last key left them. Does nothing unless a
    // key came since the last call.
    void UpdateCompletion();

    // The line's first word: up to its first blank.
    static std::wstring FirstWord(const std::wstring& line);

private:
    int OnTypingKey(unsigned virtualKey);
    void EndTyping();
    void ForgetCompletion();
    // Drops the rows and the highlight; the list is redrawn at the next update.
    void ForgetRows();
    // Down, Up, Tab, Shift+Tab with rows listed; false for other keys.
    bool MoveHighlight(unsigned virtualKey);
    // What Enter hands over for a typed line.
    std::wstring LineToRun(const std::wstring& typed);
    // Enter on a highlighted row of the other source: runs it with the rest
    // of the line; false when the row is not one of them.
    bool RunOtherRow(const std::wstring& typed);
    // The rows for the line's first word, made again when the word changed.
    void FindRows(const std::wstring& typed);
    void UpdateList();

    QuorvallisCommands& catalogue_;
    ITypingPopup& popup_;
    ILineWorkers& workers_;
    // The whole shortcut the popup suggests, as the command spells it.
    std::wstring completion_;
    bool completionDue_ = false;

    IMatchList* matches_;
    IMatchSource* others_ = nullptr;
    bool matchesShown_ = true;
    KeyOrderModifiers modifiers_; // Shift for Shift+Tab
    std::vector<MatchRow> rows_;
    std::wstring rowsWord_; // the first word rows_ were found for
    std::size_t highlighted_ = 0;
    bool highlightMoved_ = false;
    bool listDue_ = false;
    bool listShown_ = false;
};
