#include "programs/ProgramNames.h"

#include <cwctype>
#include <vector>

namespace {

std::wstring Lower(const std::wstring& text)
{
    std::wstring lower(text);
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    return lower;
}

bool EndsWith(const std::wstring& text, const std::wstring& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::vector<std::wstring> Words(const std::wstring& text)
{
    std::vector<std::wstring> words;
    std::wstring word;
    for (const wchar_t c : text) {
        if (c == L' ' || c == L'\t' || c == L'-' || c == L'_') {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

bool LeftOutByName(const std::wstring& name)
{
    const std::vector<std::wstring> words = Words(Lower(name));
    if (words.empty())
        return true;
    for (const std::wstring& word : words)
        if (word == L"uninstall" || word == L"uninstaller")
            return true;
    const std::wstring& last = words.back();
    if (last == L"help" || last == L"readme")
        return true;
    return words.size() >= 2 && words[words.size() - 2] == L"read" && last == L"me";
}

} // namespace

namespace ProgramNames {

std::wstring NameOfShortcut(const std::wstring& fileName)
{
    const std::wstring lower = Lower(fileName);
    if (!EndsWith(lower, L".lnk") && !EndsWith(lower, L".url"))
        return {};
    const std::wstring name = fileName.substr(0, fileName.size() - 4);
    return LeftOutByName(name) ? std::wstring() : name;
}

bool IsDocumentTarget(const std::wstring& target)
{
    // The path ends at its closing quote, or else at the last extension
    // that is followed by a blank or the end.
    std::wstring path = Lower(target);
    if (!path.empty() && path.front() == L'"') {
        const auto close = path.find(L'"', 1);
        path = path.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
    }
    for (const wchar_t* extension : {L".chm", L".hlp", L".txt"}) {
        const std::wstring end(extension);
        for (auto at = path.find(end); at != std::wstring::npos; at = path.find(end, at + 1)) {
            const auto after = at + end.size();
            if (after == path.size() || path[after] == L' ')
                return true;
        }
    }
    return false;
}

std::wstring Folded(const std::wstring& text)
{
    std::wstring folded = Lower(text);
    if (folded.size() >= 2 && folded.front() == L'"' && folded.back() == L'"')
        folded = folded.substr(1, folded.size() - 2);
    return folded;
}

} // namespace ProgramNames
