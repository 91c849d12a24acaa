#include "programs/ProgramMatches.h"

ProgramMatches::ProgramMatches(std::function<ProgramList::Snapshot()> current,
                               std::function<bool(const Program&, const std::wstring&)> open)
    : current_(std::move(current)),
      open_(std::move(open))
{
}

std::vector<MatchRow> ProgramMatches::Matches(const std::wstring& word, std::size_t limit)
{
    const ProgramList::Snapshot snapshot = current_();
    if (snapshot != snapshot_) {
        // A new list (a scan, a counted start): its candidates once.
        snapshot_ = snapshot;
        candidates_.clear();
        candidates_.reserve(snapshot_->size());
        for (std::size_t i = 0; i < snapshot_->size(); ++i) {
            const Program& program = (*snapshot_)[i];
            candidates_.emplace_back(program.name, std::wstring(), program.timesStarted, i, MatchKind::Program);
        }
    }
    std::vector<MatchRow> rows;
    const std::wstring folded = FoldForMatch(word);
    for (const RankedMatch& match : RankMatches(candidates_, word, limit)) {
        const Program& program = (*snapshot_)[match.candidate];
        MatchRow row;
        row.kind = MatchKind::Program;
        row.rank = match;
        row.name = program.name;
        row.nameLetters = MatchedLetters(candidates_[match.candidate].foldedName, folded, match.tier);
        // Its picture is the shortcut's own, from the programs' icon cache.
        row.iconFile = program.path;
        rows.push_back(std::move(row));
    }
    return rows;
}

bool ProgramMatches::Run(const MatchRow& row, const std::wstring& arguments)
{
    if (row.kind != MatchKind::Program || !snapshot_)
        return false;
    for (const Program& program : *snapshot_)
        if (program.path == row.iconFile)
            return open_(program, arguments);
    return false;
}
