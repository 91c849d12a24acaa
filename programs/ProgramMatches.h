#pragma once

#include "catalogue/IMatchSource.h"
#include "catalogue/MatchRanking.h"
#include "programs/ProgramList.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The Start menu's programs as matches beside the commands, ranked by the
// same rules (they have no shortcut, so a command's exact shortcut always
// comes first). Asked on the keyboard's thread: it ranks the published
// snapshot and reads no file; its candidates are made once per snapshot.
class ProgramMatches : public IMatchSource {
public:
    // `current` gives the programs to offer (none while they are switched
    // off); `open` starts one with the typed arguments.
    ProgramMatches(std::function<ProgramList::Snapshot()> current,
                   std::function<bool(const Program&, const std::wstring&)> open);

    std::vector<MatchRow> Matches(const std::wstring& word, std::size_t limit) override;
    bool Run(const MatchRow& row, const std::wstring& arguments) override;

private:
    std::function<ProgramList::Snapshot()> current_;
    std::function<bool(const Program&, const std::wstring&)> open_;
    ProgramList::Snapshot snapshot_;
    std::vector<MatchCandidate> candidates_;
};
