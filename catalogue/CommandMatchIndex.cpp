#include "catalogue/CommandMatchIndex.h"

void CommandMatchIndex::Add(const CommandPtr& command)
{
    // An empty slot stays a candidate that matches nothing, so that places
    // in the list and in candidates_ stay the same.
    if (command)
        candidates_.emplace_back(command->name, command->shortcut, command->timesExecuted.get(), nextOrder_,
                                 MatchKind::Command);
    else
        candidates_.emplace_back();
    ++nextOrder_;
}

void CommandMatchIndex::Rebuild(const std::vector<CommandPtr>& commands)
{
    candidates_.clear();
    candidates_.reserve(commands.size());
    nextOrder_ = 0;
    for (const CommandPtr& command : commands)
        Add(command);
    valid_ = true;
}

void CommandMatchIndex::Appended(const CommandPtr& command)
{
    if (valid_)
        Add(command);
}

std::vector<MatchRow> CommandMatchIndex::Rows(const std::vector<CommandPtr>& commands, const std::wstring& word,
                                              std::size_t limit, std::uint64_t countChanges)
{
    // The size is checked so that a list changed behind the catalogue's back
    // can never lead to a record that is not there.
    if (!valid_ || candidates_.size() != commands.size()) {
        Rebuild(commands);
        countChanges_ = countChanges;
    } else if (countChanges != countChanges_) {
        for (std::size_t i = 0; i < commands.size(); ++i) {
            if (commands[i])
                candidates_[i].timesUsed = commands[i]->timesExecuted.get();
        }
        countChanges_ = countChanges;
    }
    std::vector<MatchRow> rows;
    const std::wstring folded = FoldForMatch(word);
    for (const RankedMatch& match : RankMatches(candidates_, word, limit)) {
        const CommandPtr& command = commands[match.candidate];
        if (!command)
            continue;
        MatchRow row;
        row.kind = MatchKind::Command;
        row.rank = match;
        row.name = command->name;
        row.shortcut = command->shortcut;
        row.nameLetters = MatchedLetters(candidates_[match.candidate].foldedName, folded, match.tier);
        if (match.tier == MatchTier::ExactShortcut || match.tier == MatchTier::ShortcutPrefix)
            row.shortcutLetters = word.size();
        row.iconIndex = command->iconIndex;
        row.command = command;
        rows.push_back(std::move(row));
    }
    return rows;
}
