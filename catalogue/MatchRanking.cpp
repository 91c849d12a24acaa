#include "catalogue/MatchRanking.h"

#include "catalogue/ShortcutIndex.h"

#include <algorithm>
#include <cstdint>

namespace {

// U+00C0 to U+00FF folded: accented letters to their base letter, capitals to
// small ones; the signs and the letters without a base stay themselves.
constexpr wchar_t kLatin1Folds[] = L"aaaaaa\u00e6ceeeeiiii\u00f0nooooo\u00d7ouuuuy\u00fe\u00df"
                                   L"aaaaaa\u00e6ceeeeiiii\u00f0nooooo\u00f7ouuuuy\u00fey";

wchar_t FoldLetter(wchar_t c)
{
    if (c >= L'A' && c <= L'Z')
        return static_cast<wchar_t>(c - L'A' + L'a');
    if (c >= 0xC0 && c <= 0xFF)
        return kLatin1Folds[c - 0xC0];
    return c;
}

// A name's words are runs of letters and digits; anything else parts them.
bool PartsWords(wchar_t c)
{
    return !((c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c >= 0x80);
}

bool StartsWith(const std::wstring& text, const std::wstring& start)
{
    return text.size() >= start.size() && text.compare(0, start.size(), start) == 0;
}

bool InOrder(const std::wstring& name, const std::wstring& word)
{
    std::size_t at = 0;
    for (wchar_t c : word) {
        at = name.find(c, at);
        if (at == std::wstring::npos)
            return false;
        ++at;
    }
    return true;
}

// The word split into pieces, each the start of a word of the name, in
// order (one piece: the name's start). Names of more words and words of
// more letters than a mask holds are not tried: they match scattered.
class WordStartsMatch {
public:
    static constexpr std::size_t kMaxParts = 64;

    WordStartsMatch(const std::wstring& name, const std::wstring& word) : name_(name), word_(word)
    {
        for (std::size_t i = 0; i < word.size() && i < kMaxParts; ++i)
            failed_[i] = 0;
        for (std::size_t i = 0; i < name.size() && count_ < kMaxParts; ++i) {
            if (!PartsWords(name[i]) && (i == 0 || PartsWords(name[i - 1])))
                starts_[count_++] = i;
        }
    }

    // Fills `letters` (when given) with the matched positions.
    bool Find(std::vector<std::size_t>* letters)
    {
        if (word_.empty() || word_.size() >= kMaxParts || count_ == 0)
            return false;
        letters_ = letters;
        return From(0, 0);
    }

private:
    bool From(std::size_t letter, std::size_t firstStart)
    {
        if (letter == word_.size())
            return true;
        if (firstStart >= count_ || (failed_[letter] >> firstStart) & 1u)
            return false;
        for (std::size_t s = firstStart; s < count_; ++s) {
            const std::size_t at = starts_[s];
            std::size_t common = 0;
            while (letter + common < word_.size() && at + common < name_.size() &&
                   name_[at + common] == word_[letter + common])
                ++common;
            for (std::size_t length = common; length > 0; --length) {
                std::size_t next = s + 1;
                while (next < count_ && starts_[next] < at + length)
                    ++next;
                if (From(letter + length, next)) {
                    if (letters_) {
                        for (std::size_t i = length; i > 0; --i)
                            letters_->push_back(at + i - 1);
                    }
                    return true;
                }
            }
        }
        failed_[letter] |= std::uint64_t{1} << firstStart;
        return false;
    }

    const std::wstring& name_;
    const std::wstring& word_;
    // Held here, not on the heap: one is made for every candidate that matches.
    std::size_t starts_[kMaxParts];
    std::size_t count_ = 0;
    // Per letter of the word, the first starts from which it failed.
    std::uint64_t failed_[kMaxParts];
    std::vector<std::size_t>* letters_ = nullptr;
};

// The closest in-order placing of the word's letters: from each place of its
// first letter, the earliest that follow. Returns last minus first.
int TightestPlacing(const std::wstring& name, const std::wstring& word, std::vector<std::size_t>* letters)
{
    int best = -1;
    std::size_t bestFirst = 0;
    for (std::size_t first = name.find(word[0]); first != std::wstring::npos; first = name.find(word[0], first + 1)) {
        std::size_t at = first;
        bool placed = true;
        for (std::size_t i = 1; i < word.size() && placed; ++i) {
            at = name.find(word[i], at + 1);
            placed = at != std::wstring::npos;
        }
        if (!placed)
            break; // a later start finds no more
        const int spread = static_cast<int>(at - first);
        if (best < 0 || spread < best) {
            best = spread;
            bestFirst = first;
        }
    }
    if (letters && best >= 0) {
        std::size_t at = bestFirst;
        letters->push_back(at);
        for (std::size_t i = 1; i < word.size(); ++i)
            letters->push_back(at = name.find(word[i], at + 1));
    }
    return best;
}

} // namespace

MatchCandidate::MatchCandidate(const std::wstring& name, const std::wstring& shortcutText, int used,
                               std::uint64_t place, MatchKind what)
    : shortcut(shortcutText),
      foldedName(FoldForMatch(name)),
      foldedShortcut(FoldForMatch(shortcutText)),
      timesUsed(used),
      order(place),
      kind(what)
{
}

std::wstring FoldForMatch(const std::wstring& text)
{
    std::wstring folded(text);
    for (wchar_t& c : folded)
        c = FoldLetter(c);
    return folded;
}

bool RanksBefore(const RankedMatch& a, const RankedMatch& b)
{
    if (a.tier != b.tier)
        return a.tier < b.tier;
    // Two shortcuts equal as typed lines compare them exist only through
    // editing; the first listed is the one a typed line runs.
    if (a.tier != MatchTier::ExactShortcut) {
        if (a.spread != b.spread)
            return a.spread < b.spread;
        if (a.timesUsed != b.timesUsed)
            return a.timesUsed > b.timesUsed;
    }
    if (a.kind != b.kind)
        return a.kind < b.kind;
    return a.order < b.order;
}

bool MatchCandidateTo(const MatchCandidate& candidate, const std::wstring& foldedWord, const std::wstring& typedWord,
                      RankedMatch& match, MatchTier worstWanted)
{
    if (foldedWord.empty())
        return false;
    match.spread = 0;
    match.timesUsed = candidate.timesUsed;
    match.order = candidate.order;
    match.kind = candidate.kind;
    if (StartsWith(candidate.foldedShortcut, foldedWord)) {
        // Accents count only for finding: the exact one is the one a typed line runs.
        const bool exact =
            candidate.foldedShortcut.size() == foldedWord.size() && ShortcutsEqual(candidate.shortcut, typedWord);
        match.tier = exact ? MatchTier::ExactShortcut : MatchTier::ShortcutPrefix;
        return true;
    }
    // A list full of better rows: the name need not be looked at.
    if (worstWanted < MatchTier::WordStarts || !InOrder(candidate.foldedName, foldedWord))
        return false;
    if (WordStartsMatch(candidate.foldedName, foldedWord).Find(nullptr)) {
        match.tier = MatchTier::WordStarts;
        return true;
    }
    if (worstWanted < MatchTier::Scattered)
        return false;
    match.tier = MatchTier::Scattered;
    match.spread = TightestPlacing(candidate.foldedName, foldedWord, nullptr);
    return true;
}

std::vector<RankedMatch> RankMatches(const std::vector<MatchCandidate>& candidates, const std::wstring& word,
                                     std::size_t limit)
{
    std::vector<RankedMatch> best;
    const std::wstring folded = FoldForMatch(word);
    if (folded.empty() || limit == 0)
        return best;
    best.reserve(limit + 1);
    RankedMatch match;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const MatchTier worstWanted = best.size() == limit ? best.back().tier : MatchTier::Scattered;
        if (!MatchCandidateTo(candidates[i], folded, word, match, worstWanted))
            continue;
        if (best.size() == limit && !RanksBefore(match, best.back()))
            continue;
        match.candidate = i;
        best.insert(std::upper_bound(best.begin(), best.end(), match, RanksBefore), match);
        if (best.size() > limit)
            best.pop_back();
    }
    return best;
}

std::vector<std::size_t> MatchedLetters(const std::wstring& foldedName, const std::wstring& foldedWord, MatchTier tier)
{
    std::vector<std::size_t> letters;
    if (foldedWord.empty())
        return letters;
    if (tier == MatchTier::WordStarts) {
        WordStartsMatch(foldedName, foldedWord).Find(&letters);
        std::sort(letters.begin(), letters.end());
    } else if (tier == MatchTier::Scattered) {
        TightestPlacing(foldedName, foldedWord, &letters);
    }
    return letters;
}
