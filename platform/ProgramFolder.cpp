#include "platform/ProgramFolder.h"

std::wstring FolderOfProgram(const std::wstring& programPath)
{
    const auto slash = programPath.find_last_of(L'\\');
    if (slash == std::wstring::npos)
        return {};
    return programPath.substr(0, slash + 1);
}
