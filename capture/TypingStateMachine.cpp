#include "capture/TypingStateMachine.h"

#include "capture/IMatchList.h"
#include "capture/ITypingPopup.h"
#include "capture/TypedLine.h"
#include "catalogue/IMatchSource.h"
#include "catalogue/QuorvallisCommands.h"
#include "platform/ILineWorkers.h"
#include "platform/KeyCodes.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr std::uint32_t kPreviouslyDown = 1u << 30;
constexpr std::uint32_t kReleased = 1u << 31;

} // namespace

TypingStateMachine::TypingStateMachine(QuorvallisCommands& catalogue, ITypingPopup& popup, ILineWorkers& workers,
                                       IMatchList* matches)
    : catalogue_(catalogue),
      popup_(popup),
      workers_(workers),
      matches_(matches)
{
}

void TypingStateMachine::ShowMatches(bool shown)
{
    matchesShown_ = shown;
    // A line being typed gets its rows (or loses them) at the next key.
    ForgetRows();
}

void TypingStateMachine::ForgetRows()
{
    rows_.clear();
    rowsWord_.clear();
    highlighted_ = 0;
    highlightMoved_ = false;
    listDue_ = true;
}

std::wstring TypingStateMachine::FirstWord(const std::wstring& line)
{
    return line.substr(0, line.find(L' '));
}

int TypingStateMachine::OnKeyEvent(unsigned virtualKey, std::uint32_t flags)
{
    modifiers_.OnKeyEvent(virtualKey, flags);
    // Only fresh presses count; releases and auto-repeats always pass.
    if (flags & (kPreviouslyDown | kReleased))
        return kPass;

    switch (catalogue_.typingState) {
    case kIdle:
        if (catalogue_.previousKey == static_cast<int>(catalogue_.firstControlKey) &&
            virtualKey == catalogue_.secondControlKey) {
            catalogue_.previousKey = -1;
            catalogue_.typingState = kTyping;
            ForgetCompletion();
            popup_.Show();
            return kSwallow;
        }
        catalogue_.previousKey = static_cast<int>(virtualKey);
        return kPass;
    case kTyping: return OnTypingKey(virtualKey);
    default: return kPass;
    }
}

void TypingStateMachine::EndTyping()
{
    catalogue_.previousKey = -1;
    catalogue_.typingState = kIdle;
    ForgetCompletion();
    ForgetRows();
}

void TypingStateMachine::ForgetCompletion()
{
    completion_.clear();
    completionDue_ = false;
}

int TypingStateMachine::OnTypingKey(unsigned virtualKey)
{
    if (virtualKey == KeyCode::Enter) {
        if (RunOtherRow(popup_.Text())) {
            EndTyping();
            popup_.Hide();
            return kSwallow;
        }
        // What was typed, never a suggestion that was not taken; or the
        // highlighted match with the typed arguments.
        std::wstring line = LineToRun(popup_.Text());
        EndTyping();
        // The popup never holds more; this guards the worker's buffer anyway.
        if (line.size() > TypedLine::kMaxLength)
            line.resize(TypedLine::kMaxLength);
        workers_.Start(line); // a line that cannot start is dropped silently
        popup_.Hide();
        return kSwallow;
    }
    if (virtualKey == KeyCode::Escape) {
        EndTyping();
        popup_.Hide();
        return kSwallow;
    }
    if (!popup_.Exists())
        return kSwallow;
    if (MoveHighlight(virtualKey))
        return kSwallow;
    // These keys add no character, so taking the suggestion changes nothing
    // they did before.
    if ((virtualKey == KeyCode::Right || virtualKey == KeyCode::End) && !completion_.empty())
        popup_.SetText(completion_);
    else
        popup_.TypeKey(virtualKey);
    completionDue_ = true;
    return kSwallow;
}

bool TypingStateMachine::MoveHighlight(unsigned virtualKey)
{
    if (!MatchesShown() || rows_.empty())
        return false;
    const std::size_t count = rows_.size();
    const bool shift = modifiers_.ShiftDown();
    if (virtualKey == KeyCode::Down || (virtualKey == KeyCode::Tab && !shift))
        highlighted_ = (highlighted_ + 1) % count;
    else if (virtualKey == KeyCode::Up || (virtualKey == KeyCode::Tab && shift))
        highlighted_ = (highlighted_ + count - 1) % count;
    else
        return false;
    highlightMoved_ = true;
    listDue_ = true;
    return true;
}

std::wstring TypingStateMachine::LineToRun(const std::wstring& typed)
{
    if (!MatchesShown())
        return typed;
    const std::wstring word = FirstWord(typed);
    // Rows of an older word (a key not yet followed by its update) would
    // run something the user never saw; find them now.
    if (word != rowsWord_)
        FindRows(typed);
    if (rows_.empty())
        return typed;
    // A typed shortcut runs as it always did, unless the user chose a row.
    if (!highlightMoved_ && catalogue_.FindCommandByShortcut(word))
        return typed;
    const MatchRow& row = rows_[std::min(highlighted_, rows_.size() - 1)];
    // The row's command runs as its shortcut typed with the same arguments
    // would: only when that shortcut finds it.
    if (!row.command || !ShortcutReachable(row.shortcut) ||
        catalogue_.FindCommandByShortcut(row.shortcut) != row.command)
        return typed;
    return row.shortcut + typed.substr(word.size());
}

bool TypingStateMachine::RunOtherRow(const std::wstring& typed)
{
    if (!MatchesShown() || !others_)
        return false;
    const std::wstring word = FirstWord(typed);
    if (word != rowsWord_)
        FindRows(typed);
    if (rows_.empty())
        return false;
    // A typed shortcut runs its command, unless the user chose a row.
    if (!highlightMoved_ && catalogue_.FindCommandByShortcut(word))
        return false;
    const MatchRow& row = rows_[std::min(highlighted_, rows_.size() - 1)];
    if (row.kind == MatchKind::Command)
        return false;
    std::wstring arguments = typed.substr(word.size());
    arguments.erase(0, arguments.find_first_not_of(L' '));
    // One that does not start ends the line all the same, silently, as a
    // failed command does.
    others_->Run(row, arguments);
    return true;
}

void TypingStateMachine::FindRows(const std::wstring& typed)
{
    const std::wstring word = FirstWord(typed);
    if (word == rowsWord_ && !word.empty())
        return;
    rows_ = word.empty() ? std::vector<MatchRow>() : catalogue_.Matches(word, kMaxRows);
    if (others_ && !word.empty()) {
        std::vector<MatchRow> more = others_->Matches(word, kMaxRows);
        if (!more.empty()) {
            rows_.insert(rows_.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
            std::stable_sort(rows_.begin(), rows_.end(),
                             [](const MatchRow& a, const MatchRow& b) { return RanksBefore(a.rank, b.rank); });
            if (rows_.size() > kMaxRows)
                rows_.resize(kMaxRows);
        }
    }
    rowsWord_ = word;
    highlighted_ = 0;
    highlightMoved_ = false;
    listDue_ = true;
}

void TypingStateMachine::UpdateList()
{
    if (!matches_ || !listDue_)
        return;
    listDue_ = false;
    if (MatchesShown() && !rows_.empty() && catalogue_.typingState == kTyping && popup_.Exists()) {
        matches_->ShowRows(rows_, highlighted_);
        listShown_ = true;
    } else if (listShown_) {
        matches_->HideRows();
        listShown_ = false;
    }
}

void TypingStateMachine::UpdateCompletion()
{
    if (!completionDue_) {
        UpdateList();
        return;
    }
    completionDue_ = false;
    if (catalogue_.typingState != kTyping || !popup_.Exists()) {
        UpdateList();
        return;
    }
    const std::wstring typed = popup_.Text();
    if (MatchesShown()) {
        FindRows(typed);
        // The suggestion is the first row's shortcut, so the two never
        // disagree: none when a shortcut was typed whole or a name matched.
        const MatchRow* first = rows_.empty() ? nullptr : &rows_.front();
        if (typed == rowsWord_ && first && first->rank.tier == MatchTier::ShortcutPrefix &&
            ShortcutReachable(first->shortcut) && first->shortcut.size() > typed.size()) {
            completion_ = first->shortcut;
            popup_.ShowCompletion(completion_.substr(typed.size()), first->name);
        } else {
            completion_.clear();
            popup_.ShowCompletion(L"", L"");
        }
        UpdateList();
        return;
    }
    // Only while the shortcut itself is typed: past the line's first word
    // the catalogue has nothing to complete.
    const CommandPtr command = catalogue_.CompletionFor(typed);
    // A shortcut typed whole leaves nothing to suggest.
    if (!command || command->shortcut.size() <= typed.size()) {
        completion_.clear();
        popup_.ShowCompletion(L"", L"");
        return;
    }
    completion_ = command->shortcut;
    popup_.ShowCompletion(completion_.substr(typed.size()), command->name);
}
