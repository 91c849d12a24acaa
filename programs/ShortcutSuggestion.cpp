#include "programs/ShortcutSuggestion.h"

#include <cwctype>
#include <vector>

namespace {

bool IsWordLetter(wchar_t c)
{
    return std::iswalnum(static_cast<std::wint_t>(c)) != 0;
}

wchar_t Lower(wchar_t c)
{
    return static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
}

} // namespace

std::wstring SuggestShortcut(const std::wstring& programName, const std::function<bool(const std::wstring&)>& taken)
{
    std::vector<std::wstring> words;
    std::wstring word;
    for (const wchar_t c : programName + L' ') {
        if (IsWordLetter(c)) {
            word += Lower(c);
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    std::wstring base;
    if (words.size() >= 2)
        for (const std::wstring& each : words)
            base += each.front();
    else if (!words.empty())
        base = words.front();
    if (base.size() > 8)
        base.resize(8);
    if (base.empty())
        base = L"program";
    if (!taken(base))
        return base;
    for (int number = 2;; ++number) {
        const std::wstring numbered = base + std::to_wstring(number);
        if (!taken(numbered))
            return numbered;
    }
}
