#include "ui/editing/PauseText.h"

bool PauseText::Read(const std::wstring& typed, int* milliseconds)
{
    if (typed.empty())
        return false;
    long long value = 0;
    for (const wchar_t c : typed) {
        if (c < L'0' || c > L'9')
            return false;
        value = value * 10 + (c - L'0');
        // Leading zeros aside, more digits can only be larger.
        if (value > kLongest)
            return false;
    }
    if (value < kShortest)
        return false;
    *milliseconds = static_cast<int>(value);
    return true;
}

std::wstring PauseText::For(const std::wstring& typed)
{
    return L"Pause " + typed + L" ms";
}
