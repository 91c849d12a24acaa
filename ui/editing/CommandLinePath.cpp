#include "ui/editing/CommandLinePath.h"

std::wstring CommandLinePath::Quoted(const std::wstring& path)
{
    if (path.find_first_of(L" \t") == std::wstring::npos || (!path.empty() && path.front() == L'"'))
        return path;
    return L"\"" + path + L"\"";
}
