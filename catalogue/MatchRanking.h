#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The matches of a word being typed, ranked, over any source of things that
// can be run by name: the catalogue's commands, and whatever else joins them
// with the same rules. Portable; knows nothing of where a candidate came from.

enum class MatchKind {
    Command,
    Program,
};

// How a candidate matched the word, best first.
enum class MatchTier {
    ExactShortcut,  // the shortcut is the word, as a typed line finds it
    ShortcutPrefix, // the shortcut starts with the word
    WordStarts,     // the word's letters start the name's words in order, or begin the name
    Scattered,      // the word's letters occur in the name in order
};

// One thing the list can offer. The folded texts are made once, when the
// source is listed; the count is kept current by the source.
struct MatchCandidate {
    MatchCandidate() = default;
    MatchCandidate(const std::wstring& name, const std::wstring& shortcut, int timesUsed, std::uint64_t order,
                   MatchKind kind);

    std::wstring shortcut;       // as the source spells it; may be empty
    std::wstring foldedName;     // FoldForMatch of the name
    std::wstring foldedShortcut; // FoldForMatch of the shortcut
    int timesUsed = 0;
    std::uint64_t order = 0; // its place in its source's list
    MatchKind kind = MatchKind::Command;
};

struct RankedMatch {
    std::size_t candidate = 0; // index into the candidates ranked
    MatchTier tier = MatchTier::Scattered;
    int spread = 0; // Scattered: how far apart the first and last letter lie
    int timesUsed = 0;
    std::uint64_t order = 0;
    MatchKind kind = MatchKind::Command;
};

// Letters compared without regard to case, and Latin letters without their
// accents; one character in, one out, so positions carry over to the text.
std::wstring FoldForMatch(const std::wstring& text);

// The order of the list: tier, then closeness (scattered letters), then the
// most used, then commands before programs, then list order.
bool RanksBefore(const RankedMatch& a, const RankedMatch& b);

// How `candidate` matches the word (folded with FoldForMatch; `typedWord` as
// typed, for the exact shortcut); false when it does not match at all, or
// only in a tier after `worstWanted`.
bool MatchCandidateTo(const MatchCandidate& candidate, const std::wstring& foldedWord, const std::wstring& typedWord,
                      RankedMatch& match, MatchTier worstWanted = MatchTier::Scattered);

// The best `limit` matches of the word (as typed, without blanks) among the
// candidates, best first; none for an empty word.
std::vector<RankedMatch> RankMatches(const std::vector<MatchCandidate>& candidates, const std::wstring& word,
                                     std::size_t limit);

// Which letters of a candidate's name to make stand out for a match of this
// tier: positions in the name, ascending; none for a shortcut match.
std::vector<std::size_t> MatchedLetters(const std::wstring& foldedName, const std::wstring& foldedWord, MatchTier tier);
