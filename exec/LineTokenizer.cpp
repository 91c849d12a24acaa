#include "exec/LineTokenizer.h"

ArgumentList TokenizeLine(const std::wstring& line)
{
    ArgumentList tokens;
    std::wstring token;
    bool inQuotes = false;

    for (const wchar_t c : line) {
        if (c == L' ' && !inQuotes) {
            if (!token.empty()) {
                tokens.push_back(token);
                token.clear();
            }
        } else if (c == L'"' && inQuotes) {
            token += c;
            tokens.push_back(token);
            token.clear();
            inQuotes = false;
        } else if (c == L'"') {
            if (!token.empty()) {
                tokens.push_back(token);
                token.clear();
            }
            inQuotes = true;
            token += c;
        } else {
            token += c;
        }
    }
    if (!token.empty())
        tokens.push_back(token);
    return tokens;
}
